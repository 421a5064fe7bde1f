// Running decoded lines, stored or decoded from a handler's text. Each
// runner reads its operands in the order they are written, looking names
// up as it meets them and stopping at the first that fails; what the line
// then does with the values is a rule of line_rules.h, control_flow.h,
// conditions.h or channel_io.h.
#include "8_interpreter/line_code.h"

#include "8_interpreter/channel_io.h"
#include "8_interpreter/conditions.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/control_flow.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

// Only the fields that the value's kind gives meaning to are written: this
// runs for every operand of every decoded line, inline in each runner.
inline bool ReadValue(InterpreterState& in, Operand& op, Value* value) {
  switch (op.kind) {
    case Operand::Kind::kText:
      value->is_number = false;
      value->text = op.text;
      value->digits = op.digits;
      value->digits_value = op.digits_value;
      return true;
    case Operand::Kind::kVariable: {
      int slot;
      if (!op.var.Resolve(in, &slot)) return false;
      ReadVarValue(in, slot, value);
      return true;
    }
    case Operand::Kind::kExpression:
      value->is_number = true;
      return RunExpression(in, op.expr, &value->number);
  }
  return false;
}

}  // namespace

bool OperandValue(InterpreterState& in, Operand& op, Value* value) { return ReadValue(in, op, value); }

namespace {

// Records why a variable's or an expression's value is no number.
bool NotANumber(InterpreterState& in, Operand& op, const Value& v) {
  if (op.kind == Operand::Kind::kVariable) return FailNotNumber(in, op.var.slot);
  return FailNotNumber(in, "(", v);
}

// The operand's value under the numeric rule (trimmed of blanks first when
// asked, as COPIA reads its positions); a literal's was found when decoded.
inline bool OperandNumber(InterpreterState& in, Operand& op, bool trimmed, int32_t* n) {
  if (op.kind == Operand::Kind::kText) {
    *n = trimmed ? op.number_trimmed : op.number;
    if (trimmed ? op.numeric_trimmed : op.numeric) return true;
    Value v{};
    v.text = op.text;
    return FailNotNumber(in, "\"", v);
  }
  Value v;
  if (!ReadValue(in, op, &v)) return false;
  return NumberOfValue(v, trimmed, n) || NotANumber(in, op, v);
}

bool RunSoma(InterpreterState& in, LineCode& code) {
  int slot;
  int32_t n;
  return code.var.Resolve(in, &slot) && OperandNumber(in, code.operands[0], false, &n) && AddToSuffix(in, slot, n);
}

template <ArithmeticOp op>
bool RunArithmetic(InterpreterState& in, LineCode& code) {
  int slot;
  int32_t v, n;
  if (!code.var.Resolve(in, &slot) || code.stops_after_var) return false;
  if (!VarAsNumber(in, slot, &v)) return FailNotNumber(in, slot);
  if (!OperandNumber(in, code.operands[0], false, &n)) return false;
  return ApplyArithmetic(in, op, slot, v, n) && !code.text_after;
}

bool RunSeja(InterpreterState& in, LineCode& code) {
  int slot;
  Value v;
  if (!code.var.Resolve(in, &slot) || !ReadValue(in, code.operands[0], &v) || code.text_after) return false;
  AssignValue(in, slot, v);
  return true;
}

bool RunSejaBuiltIn(InterpreterState& in, LineCode& code) {
  int slot;
  return code.var.Resolve(in, &slot) && AssignBuiltIn(in, slot, code.command);
}

bool RunConcatena(InterpreterState& in, LineCode& code) {
  int slot;
  Value v;
  return code.var.Resolve(in, &slot) && ReadValue(in, code.operands[0], &v) && !code.text_after &&
         AppendValue(in, slot, v);
}

bool RunCopia(InterpreterState& in, LineCode& code) {
  int dest, src;
  int32_t from, to;
  if (!code.var.Resolve(in, &dest) || !code.var2.Resolve(in, &src) || !OperandNumber(in, code.operands[0], true, &from) ||
      !OperandNumber(in, code.operands[1], true, &to))
    return false;
  CopyPart(in, dest, src, from, to);
  return true;
}

inline bool Holds(InterpreterState& in, Condition& c, bool* truth) {
  Value l, r;
  if (!ReadValue(in, c.left, &l)) return false;
  if (c.op == CompareOp::kIn) return InNamedList(in, c.list, c.negate, l, truth);
  if (!ReadValue(in, c.right, &r)) return false;
  *truth = ConditionHolds(c.negate, c.op, l, r);
  return true;
}

bool RunSe(InterpreterState& in, LineCode& code) {
  bool truth;
  return Holds(in, code.condition, &truth) && SeOutcome(in, truth, code.command, &code.nested);
}

bool RunEnquanto(InterpreterState& in, LineCode& code) {
  bool truth;
  if (!Holds(in, code.condition, &truth)) return false;
  EnquantoOutcome(in, truth);
  return true;
}

bool RunRepete(InterpreterState& in, LineCode& code) {
  int slot;
  int32_t count;
  if (!code.var.Resolve(in, &slot) || !OperandNumber(in, code.operands[0], false, &count)) return false;
  StartCount(in, slot, count);
  return true;
}

// The step of the counted loop, on the REPETE line: the line number moves
// there first, so that a failing step is reported at the head.
bool RunFimRepete(InterpreterState& in, LineCode& code) {
  in.current_line = code.head;
  int slot;
  int32_t count;
  return code.var.Resolve(in, &slot) && OperandNumber(in, code.operands[0], false, &count) && StepCount(in, slot, count);
}

bool RunFimEnquanto(InterpreterState& in, LineCode& code) {
  BackToLoopHead(in, code.head);
  return true;
}

bool RunDesvia(InterpreterState& in, LineCode& code) { return FindUpperLabel(in, code.label); }

bool Succeeds(InterpreterState&, LineCode&) { return true; }
bool Fails(InterpreterState&, LineCode&) { return false; }

bool RunEscreve(InterpreterState& in, LineCode& code) {
  in.last_status = 0;
  std::string& text = code.scratch;
  text.clear();
  bool complete = !code.text_after;
  for (Operand& op : code.operands) {
    Value v;
    if (!ReadValue(in, op, &v)) {
      complete = false;  // the text from here on is not an operand
      break;
    }
    NumberText buf;
    text.append(TextOf(v, &buf));
  }
  return WriteJoinedToChannel(in, code.channel, &text, code.no_line_end, complete);
}

}  // namespace

bool ConditionTruth(InterpreterState& in, Condition& c, bool* truth) { return Holds(in, c, truth); }

// In the order of LineKind.
const LineRunner kLineRunners[kLineKinds] = {
    Fails,                              // kUndecoded
    Fails,                              // kByHandler
    Fails,                              // kFails
    RunSeja,                            // kSeja
    RunSejaBuiltIn,                     // kSejaBuiltIn
    RunSoma,                            // kSoma
    RunArithmetic<ArithmeticOp::kSub>,  // kSubtrai
    RunArithmetic<ArithmeticOp::kMul>,  // kMultiplica
    RunArithmetic<ArithmeticOp::kDiv>,  // kDivide
    RunConcatena,                       // kConcatena
    RunCopia,                           // kCopia
    RunSe,                              // kSe
    RunEnquanto,                        // kEnquanto
    RunRepete,                          // kRepete
    RunFimRepete,                       // kFimRepete
    RunFimEnquanto,                     // kFimEnquanto
    Succeeds,                           // kFimOther
    RunDesvia,                          // kDesvia
    RunEscreve,                         // kEscreveChannel
};

}  // namespace kal
