// The moves of the current line that control-flow commands share with the
// decoded lines (line_code.h). Each moves the current line of the run loop;
// the loop then advances past the line it was moved to.
#pragma once

#include <string_view>

#include "8_interpreter/state.h"

namespace kal {

struct InterpreterState;

enum class Block { kSe, kEnquanto, kRepete };

// Moves the current line to the next line reading "FIM <word>"; past the
// end of the store when there is none (the run then ends normally).
void SkipToEnd(InterpreterState& in, Block block);
// Passes over the true part of a block SE: counts nested block SE heads
// (their conditions evaluated now, on the normalised text) and stops at the
// matching FIM SE or at a SENAO of the same level.
void SkipFalseBlock(InterpreterState& in);
// Moves the current line to the first label line of that name (already
// upper-cased); false when there is none.
bool FindUpperLabel(InterpreterState& in, std::string_view upper_name);

// What SE, ENQUANTO and FIM ENQUANTO do once their operands are read, the
// same for the handlers and for decoded lines.
struct NestedCommand;
// SE with its condition's truth: a one-line SE (command not empty) runs
// its command as a line within the line when the condition holds, decoded
// when given, else from the text; a block SE passes over its true part
// when it does not.
bool RunCommandWithinLine(InterpreterState& in, std::string_view command, NestedCommand* decoded);
inline bool SeOutcome(InterpreterState& in, bool truth, std::string_view command, NestedCommand* decoded) {
  if (!command.empty()) return truth ? RunCommandWithinLine(in, command, decoded) : true;
  if (!truth) SkipFalseBlock(in);
  return true;
}
// ENQUANTO: out of the loop when the condition does not hold.
inline void EnquantoOutcome(InterpreterState& in, bool truth) {
  if (!truth) SkipToEnd(in, Block::kEnquanto);
}
// FIM ENQUANTO: the loop's head line (found, not 0) runs next.
inline void BackToLoopHead(InterpreterState& in, int head) { in.current_line = head - 1; }

}  // namespace kal
