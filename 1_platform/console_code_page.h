// Text between the program and consoles. What the program writes to a
// console (help, error lines, a headless run's screen) is UTF-8. A Windows
// console shows its own code page instead (850 on a Brazilian system), so
// for the length of the run its output code page is UTF-8, and the one it
// had is put back at the end; lines written outside the run's screen go
// out as wide text, which a console shows right whatever its code page.
// The console programs a script starts with pipes write in their console's
// code page. Other hosts' terminals and programs use UTF-8 as it is.
#pragma once

#include <string>
#include <string_view>

namespace kal {

class ConsoleCodePage {
 public:
  ConsoleCodePage();   // switches the console when there is one to switch
  ~ConsoleCodePage();  // puts back what was switched
  ConsoleCodePage(const ConsoleCodePage&) = delete;
  ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

 private:
  [[maybe_unused]] unsigned previous_ = 0;  // the code page to put back; 0 when none was switched
};

// Writes UTF-8 text to standard output (stream 1) or standard error (2):
// to a Windows console as wide text; to a pipe, a file or a terminal as the
// UTF-8 bytes. What the C library holds for both streams is written first,
// so that lines keep their order.
void WriteStandardText(int stream, std::string_view utf8);

// Whether standard output (stream 1) or standard error (2) is a terminal or
// a console window a person reads, not a pipe or a file.
bool StandardStreamIsTerminal(int stream);

// The text a console program started with pipes (programs.h) wrote, as
// UTF-8: converts what it can from the front of *bytes and leaves there the
// start of a character the pipe cut in two, for the next call.
std::string ConsoleProgramTextToUtf8(std::string* bytes);

}  // namespace kal
