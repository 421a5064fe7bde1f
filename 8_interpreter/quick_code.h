// The quick form of quiet decoded lines: one small fixed-size step per
// stored line, derived from the line's decoded form (line_code.h), never
// from its text, and run by one loop without a call per line.
//
// A step holds what its line needs at hand: the slots of its variables
// (taken once the decoded line has looked its names up: looking a name up
// creates it, so that happens only where the decoded line does it), its
// numeric literals already checked, the line it moves to. A step runs its
// line itself only in the common case, where that is plainly what the
// decoded line would do: values held as numbers that fit, literals that
// are numbers, comparisons of numbers at or above zero. In every other
// case, before it has changed anything, it hands the line to the decoded
// line's runner, so each rule stays written once (line_rules.h,
// conditions.h) and the quick form does exactly what the decoded lines do:
// the same values, the same names created in the same order, the same
// failures at the same line, the same lines counted.
//
// A counting loop (ENQUANTO, then SOMA lines only, then its FIM ENQUANTO)
// is run whole pass after pass by its head's step while the budget of
// lines given has room for a whole pass; a pass that cannot go on the
// quick way stops at a line boundary and the steps go on from there.
//
// The steps are kept beside the decoded lines, for the same store: a line
// stored while running drops them with the decoded lines.
#pragma once

#include <cstdint>
#include <vector>

#include "8_interpreter/conditions.h"

namespace kal {

struct InterpreterState;
struct LineCode;
struct ExprCode;

// An operand as the quick form reads it: a variable's slot, a literal
// number, or an expression of the decoded line; a chain is an expression
// of one variable followed by operators on literals, as (i/1000*1000).
struct QuickArg {
  enum class Kind : uint8_t { kNumber, kSlot, kExpression, kChain };
  Kind kind = Kind::kNumber;
  int16_t slot = 0;
  int32_t value = 0;         // kNumber: a literal's value under the numeric rule
  uint64_t order = 0;        // kNumber: a literal of digits as a condition orders it
  ExprCode* expr = nullptr;  // kExpression, kChain: lives in the decoded line
};

enum class QuickCode : uint8_t {
  kUnbuilt,  // not derived yet
  kEnd,      // not a quiet line: the quick run stops before it
  kLine,     // runs through the decoded line's runner
  kSoma,     // b (a variable) += a
  kWhile,    // ENQUANTO a op b
  kIf,       // a one-line SE: a op b, then the decoded line's command
  kBack,     // FIM ENQUANTO: to the head line
  kStep,     // FIM REPETE: the head's counter (b) and count (a)
  kNothing,  // FIM SE and FIM of other words
};

struct QuickStep {
  QuickCode code = QuickCode::kUnbuilt;
  CompareOp op = CompareOp::kEq;
  bool negate = false;
  // kLine for a line whose names were not all looked up yet: derived again
  // after it ran, when they are.
  bool again = false;
  // kWhile, kStep: 0 while not known whether the loop runs whole passes,
  // 1 when it does not, else the lines of one pass.
  int16_t pass_lines = 0;
  int32_t target = 0;  // kBack, kStep: the loop's head line
  QuickArg a, b;
  LineCode* line = nullptr;
};

// The steps for the decoded lines of one store (indexed by line number).
struct QuickTable {
  std::vector<QuickStep> steps;
  uint64_t generation = 0;  // the decoded lines' generation they belong to
};

// Runs quiet decoded lines from the current line on while the current line
// is one, at most `most` of them, as the run loop would run them one by
// one: each that succeeds moves on and is counted in lines_run; one that
// fails sets the error flag and ends the run of them uncounted, the current
// line where the decoded line leaves it. Returns the lines run, a failed
// one included. Only while the decoded lines are the current store's.
int RunQuickLines(InterpreterState& in, int most);

}  // namespace kal
