// Looking at a script without running it: the mistakes its text alone
// shows (unknown command words, jumps to labels that are not there, blocks
// left open or closed twice, operands that cannot be read, more variable
// names than the table holds), found with the interpreter's own line split,
// command table, label table and operand readers; and what the language
// accepts but is almost surely a slip (a quote mark left open, a line
// nothing reaches, a label nothing jumps to), said as a warning.
#pragma once

#include <string>
#include <vector>

#include "8_interpreter/check_codes.h"

namespace kal {

struct CheckFinding {
  int line = 0;         // 1-based
  int column = 0;       // 1-based, in characters of the stored (Latin-1) line
  int end_column = 0;   // one past the last character the finding covers (> column)
  Severity severity = Severity::kError;
  std::string code;     // "K101": one per kind of mistake (check_codes.h)
  std::string message;  // UTF-8
};

// The findings on a script's lines (Latin-1, as stored: lines[0] is line 1),
// in line and column order.
std::vector<CheckFinding> CheckScript(const std::vector<std::string>& lines);

// How many of the findings are errors.
size_t CountErrors(const std::vector<CheckFinding>& found);

struct InterpreterState;

// What makes stored line n fail by its text alone, as a message (UTF-8,
// its control characters shown) for the run's error report, and its code; both left empty when its text shows
// nothing (the failure then comes from what the line met when it ran).
void LineFault(InterpreterState& in, int n, std::string* message, std::string* code);
// The message alone.
std::string LineFault(InterpreterState& in, int n);

}  // namespace kal
