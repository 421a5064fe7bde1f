// Pseudo-terminals, for the benchmark and the tests that drive the terminal
// front end without a real terminal: the front end gets the slave side as
// its terminal, the caller reads what it drew from the master side.
#pragma once

#include <string>
#include <string_view>

namespace kal {

struct PseudoTerminal {
  int master = -1;
  int slave = -1;
};

// Opens a pair of the given size; false when the system has none to give.
bool OpenPseudoTerminal(int columns, int rows, PseudoTerminal* pty);
void ClosePseudoTerminal(PseudoTerminal* pty);

// Appends what the master side has to *out, waiting at most wait_ms for the
// first byte; returns the number of bytes read.
size_t DrainPseudoTerminal(int master, int wait_ms, std::string* out);

// Types bytes into the terminal (the master side).
bool WriteToPseudoTerminal(int master, std::string_view bytes);

}  // namespace kal
