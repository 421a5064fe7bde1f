// Running decoded lines. Each runner reads its operands where the
// command's handler reads them from the text: names looked up at the same
// points, values read in the same order, failures at the same points; what
// the line then does with the values is the rule the handler calls too
// (line_rules.h, control_flow.h, conditions.h, channel_io.h).
#include "8_interpreter/line_code.h"

#include "8_interpreter/channel_io.h"
#include "8_interpreter/conditions.h"
#include "8_interpreter/control_flow.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

// Only the fields that the value's kind gives meaning to are written: this
// runs for every operand of every decoded line.
bool OperandValue(InterpreterState& in, Operand& op, Value* value) {
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

namespace {

// The operand's value under the numeric rule (trimmed of blanks first when
// asked, as COPIA reads its positions); a literal's was found when decoded.
bool OperandNumber(InterpreterState& in, Operand& op, bool trimmed, int32_t* n) {
  if (op.kind == Operand::Kind::kText) {
    *n = trimmed ? op.number_trimmed : op.number;
    return trimmed ? op.numeric_trimmed : op.numeric;
  }
  Value v;
  return OperandValue(in, op, &v) && NumberOfValue(v, trimmed, n);
}

bool RunSoma(InterpreterState& in, LineCode& code) {
  int slot;
  int32_t n;
  return code.var.Resolve(in, &slot) && OperandNumber(in, code.operands[0], false, &n) && AddToSuffix(in, slot, n);
}

bool RunArithmetic(InterpreterState& in, LineCode& code, ArithmeticOp op) {
  int slot;
  int32_t v, n;
  if (!code.var.Resolve(in, &slot) || !VarAsNumber(in, slot, &v) || !OperandNumber(in, code.operands[0], false, &n)) return false;
  return ApplyArithmetic(in, op, slot, v, n) && !code.text_after;
}

bool RunSeja(InterpreterState& in, LineCode& code) {
  int slot;
  Value v;
  if (!code.var.Resolve(in, &slot) || !OperandValue(in, code.operands[0], &v)) return false;
  AssignValue(in, slot, v);
  return true;
}

bool RunConcatena(InterpreterState& in, LineCode& code) {
  int slot;
  Value v;
  return code.var.Resolve(in, &slot) && OperandValue(in, code.operands[0], &v) && AppendValue(in, slot, v);
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

bool Holds(InterpreterState& in, Condition& c, bool* truth) {
  Value l, r;
  if (!OperandValue(in, c.left, &l) || !OperandValue(in, c.right, &r)) return false;
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

bool RunEscreve(InterpreterState& in, LineCode& code) {
  in.last_status = 0;
  std::string& text = code.scratch;
  text.clear();
  bool complete = !code.text_after;
  for (Operand& op : code.operands) {
    Value v;
    if (!OperandValue(in, op, &v)) {
      complete = false;  // the text from here on is not an operand
      break;
    }
    NumberText buf;
    text.append(TextOf(v, &buf));
  }
  return WriteJoinedToChannel(in, code.channel, &text, code.no_line_end, complete);
}

}  // namespace

bool RunLineCode(InterpreterState& in, LineCode& code) {
  switch (code.kind) {
    case LineKind::kSeja: return RunSeja(in, code);
    case LineKind::kSoma: return RunSoma(in, code);
    case LineKind::kSubtrai: return RunArithmetic(in, code, ArithmeticOp::kSub);
    case LineKind::kMultiplica: return RunArithmetic(in, code, ArithmeticOp::kMul);
    case LineKind::kDivide: return RunArithmetic(in, code, ArithmeticOp::kDiv);
    case LineKind::kConcatena: return RunConcatena(in, code);
    case LineKind::kCopia: return RunCopia(in, code);
    case LineKind::kSe: return RunSe(in, code);
    case LineKind::kEnquanto: return RunEnquanto(in, code);
    case LineKind::kRepete: return RunRepete(in, code);
    case LineKind::kFimRepete: return RunFimRepete(in, code);
    case LineKind::kFimEnquanto:
      BackToLoopHead(in, code.head);
      return true;
    case LineKind::kFimOther: return true;
    case LineKind::kDesvia: return FindUpperLabel(in, code.label);
    case LineKind::kEscreveChannel: return RunEscreve(in, code);
    case LineKind::kUndecoded:
    case LineKind::kByHandler: break;
  }
  return false;
}

}  // namespace kal
