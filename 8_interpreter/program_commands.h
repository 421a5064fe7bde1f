// What the program commands offer the other families: the console form of
// LE that reads a console program's output, and the foreground window as
// the waits see it.
#pragma once

#include <string>
#include <string_view>

namespace kal {

struct Console;
struct InterpreterState;

// What the program commands keep between commands (part of the interpreter).
struct ProgramCommandsState {
  // True while a program started in the foreground holds the console.
  bool console_handed_over = false;
  // Bytes of a character the console program's pipes have cut in two.
  std::string carry_out, carry_err;
};

// LE CONSOLE var: args begins with "CONSOLE " (any case).
bool ReadConsoleProgram(InterpreterState& in, std::string_view args);

// True when the console is the window in front: no program holds the
// terminal and, on a desktop, the active window is the console's. Takes the
// console back from a program that held it and has ended.
bool ConsoleInFront(Console& console, ProgramCommandsState& s);

// The title of the window in front (Latin-1): the console's own title when
// there is no desktop and no program holds the terminal.
std::string ForegroundTitle(Console& console);

}  // namespace kal
