// Parenthesised expressions translated once into a postfix program, for
// stored lines that run many times. The translation follows the grammar of
// the evaluator in expressions.cpp token by token, and running the program
// reads the variables in the order that evaluator reads them, so that a
// program fails exactly where the evaluator would: at the first variable
// that is not a number, at a division by zero. An expression the evaluator
// would reject for its shape (or nest too deep) is not translated at all;
// such a line is left to the evaluator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

// A variable named in a stored line: a letter's slot, known at once, or a
// name whose slot is looked up the first time the line reads it (looking
// it up creates it, so that must happen when the line runs, not before).
struct VarRef {
  int slot = 0;      // 0 until a name has been looked up
  std::string name;  // a $name without the '$'; empty for a letter
  // The slot, looking the name up on first use; false when the name table
  // is full (LookupName has said so).
  bool Resolve(int* out) {
    if (slot == 0) return ResolveName(out);
    *out = slot;
    return true;
  }
  bool ResolveName(int* out);
};

struct ExprStep {
  enum class Code : uint8_t { kNumber, kVariable, kAdd, kSub, kMul, kDiv, kNeg };
  Code code;
  uint16_t var = 0;    // kVariable: index into ExprCode::vars
  int64_t number = 0;  // kNumber
};

struct ExprCode {
  std::vector<ExprStep> steps;
  std::vector<VarRef> vars;
};

// Translates the expression at the front of *text (the text after the
// opening '('); *text is left where the evaluator would stop. False when
// the evaluator would fail on the text whatever the variables hold.
bool CompileExpression(std::string_view* text, ExprCode* code);
// Runs the program: false where the evaluator would fail.
bool RunExpression(ExprCode& code, int64_t* value);

}  // namespace kal
