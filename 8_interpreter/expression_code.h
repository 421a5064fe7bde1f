// Parenthesised integer expressions: + - * / with the usual precedence,
// unary minus, numbers and variables, evaluated in 64 bits. Operations wrap
// instead of overflowing; division by zero and nesting beyond a fixed bound
// make the expression invalid, so no input can crash or exhaust the stack.
//
// There is one grammar and one evaluator: an expression is translated into
// a postfix program, and running the program is evaluating it. A line
// translates its expressions once, when it is decoded, and runs them on
// every pass. The steps
// come out in the order in which reading the text left to right meets
// them, so the program reads its variables (and looks names up, which
// creates them) in that order and fails at the first variable that is not
// a number, at a division by zero, or where the text stops being an
// expression (a final failing step), whichever comes first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct InterpreterState;

// A variable named in a stored line: a letter's slot, known at once, or a
// name whose slot is looked up the first time the line reads it (looking
// it up creates it, so that must happen when the line runs, not before).
struct VarRef {
  int slot = 0;      // 0 until a name has been looked up
  std::string name;  // a $name without the '$'; empty for a letter
  // The slot, looking the name up on first use; false when the name table
  // is full (LookupName has said so), and, saying nothing, for a VarRef
  // that names nothing (left so where a decoder read no variable).
  bool Resolve(InterpreterState& in, int* out) {
    if (slot == 0) return ResolveName(in, out);
    *out = slot;
    return true;
  }
  bool ResolveName(InterpreterState& in, int* out);
};

struct ExprStep {
  // kFail: the text stopped being an expression here. The ...K steps are
  // an operator whose right operand is a literal, in one step: the literal
  // is `number` (a division's is neither 0 nor -1, which keep their checks).
  enum class Code : uint8_t { kNumber, kVariable, kAdd, kSub, kMul, kDiv, kNeg, kFail, kAddK, kSubK, kMulK, kDivK };
  Code code;
  uint32_t var = 0;    // kVariable: index into ExprCode::vars
  int64_t number = 0;  // kNumber and the ...K steps
};

// An operator whose right operand is a literal (a ...K step) applied to
// a: + - * wrap around in 64 bits; the literal divisor is neither 0 nor -1.
inline int64_t WithLiteral(const ExprStep& step, int64_t a) {
  uint64_t ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(step.number);
  switch (step.code) {
    case ExprStep::Code::kAddK: return static_cast<int64_t>(ua + ub);
    case ExprStep::Code::kSubK: return static_cast<int64_t>(ua - ub);
    case ExprStep::Code::kMulK: return static_cast<int64_t>(ua * ub);
    default: return a / step.number;
  }
}

struct ExprCode {
  std::vector<ExprStep> steps;
  std::vector<VarRef> vars;
};

// Translates the expression at the front of *text (the text after the
// opening '(') and leaves *text before the first token that cannot continue
// it. False when the text is not an expression, whatever the variables
// hold: *code then ends with a kFail step, after the steps that reading
// the text met before it saw so.
bool CompileExpression(std::string_view* text, ExprCode* code);
// Runs the program: its value, or false at the first step that fails.
bool RunExpression(InterpreterState& in, ExprCode& code, int64_t* value);

}  // namespace kal
