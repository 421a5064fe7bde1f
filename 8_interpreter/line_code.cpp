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
bool OperandValue(Operand& op, Value* value) {
  switch (op.kind) {
    case Operand::Kind::kText:
      value->is_number = false;
      value->text = op.text;
      value->digits = op.digits;
      value->digits_value = op.digits_value;
      return true;
    case Operand::Kind::kVariable: {
      int slot;
      if (!op.var.Resolve(&slot)) return false;
      ReadVarValue(slot, value);
      return true;
    }
    case Operand::Kind::kExpression:
      value->is_number = true;
      return RunExpression(op.expr, &value->number);
  }
  return false;
}

namespace {

// The operand's value under the numeric rule (trimmed of blanks first when
// asked, as COPIA reads its positions); a literal's was found when decoded.
bool OperandNumber(Operand& op, bool trimmed, int32_t* n) {
  if (op.kind == Operand::Kind::kText) {
    *n = trimmed ? op.number_trimmed : op.number;
    return trimmed ? op.numeric_trimmed : op.numeric;
  }
  Value v;
  return OperandValue(op, &v) && NumberOfValue(v, trimmed, n);
}

bool RunSoma(LineCode& code) {
  int slot;
  int32_t n;
  return code.var.Resolve(&slot) && OperandNumber(code.operands[0], false, &n) && AddToSuffix(slot, n);
}

bool RunArithmetic(LineCode& code, ArithmeticOp op) {
  int slot;
  int32_t v, n;
  if (!code.var.Resolve(&slot) || !VarAsNumber(slot, &v) || !OperandNumber(code.operands[0], false, &n)) return false;
  return ApplyArithmetic(op, slot, v, n) && !code.text_after;
}

bool RunSeja(LineCode& code) {
  int slot;
  Value v;
  if (!code.var.Resolve(&slot) || !OperandValue(code.operands[0], &v)) return false;
  AssignValue(slot, v);
  return true;
}

bool RunConcatena(LineCode& code) {
  int slot;
  Value v;
  return code.var.Resolve(&slot) && OperandValue(code.operands[0], &v) && AppendValue(slot, v);
}

bool RunCopia(LineCode& code) {
  int dest, src;
  int32_t from, to;
  if (!code.var.Resolve(&dest) || !code.var2.Resolve(&src) || !OperandNumber(code.operands[0], true, &from) ||
      !OperandNumber(code.operands[1], true, &to))
    return false;
  CopyPart(dest, src, from, to);
  return true;
}

bool Holds(Condition& c, bool* truth) {
  Value l, r;
  if (!OperandValue(c.left, &l) || !OperandValue(c.right, &r)) return false;
  *truth = ConditionHolds(c.negate, c.op, l, r);
  return true;
}

bool RunSe(LineCode& code) {
  bool truth;
  return Holds(code.condition, &truth) && SeOutcome(truth, code.command, &code.nested);
}

bool RunEnquanto(LineCode& code) {
  bool truth;
  if (!Holds(code.condition, &truth)) return false;
  EnquantoOutcome(truth);
  return true;
}

bool RunRepete(LineCode& code) {
  int slot;
  int32_t count;
  if (!code.var.Resolve(&slot) || !OperandNumber(code.operands[0], false, &count)) return false;
  StartCount(slot, count);
  return true;
}

// The step of the counted loop, on the REPETE line: the line number moves
// there first, so that a failing step is reported at the head.
bool RunFimRepete(LineCode& code) {
  Interp().current_line = code.head;
  int slot;
  int32_t count;
  return code.var.Resolve(&slot) && OperandNumber(code.operands[0], false, &count) && StepCount(slot, count);
}

bool RunEscreve(LineCode& code) {
  Interp().last_status = 0;
  std::string& text = code.scratch;
  text.clear();
  bool complete = !code.text_after;
  for (Operand& op : code.operands) {
    Value v;
    if (!OperandValue(op, &v)) {
      complete = false;  // the text from here on is not an operand
      break;
    }
    NumberText buf;
    text.append(TextOf(v, &buf));
  }
  return WriteJoinedToChannel(code.channel, &text, code.no_line_end, complete);
}

}  // namespace

bool RunLineCode(LineCode& code) {
  switch (code.kind) {
    case LineKind::kSeja: return RunSeja(code);
    case LineKind::kSoma: return RunSoma(code);
    case LineKind::kSubtrai: return RunArithmetic(code, ArithmeticOp::kSub);
    case LineKind::kMultiplica: return RunArithmetic(code, ArithmeticOp::kMul);
    case LineKind::kDivide: return RunArithmetic(code, ArithmeticOp::kDiv);
    case LineKind::kConcatena: return RunConcatena(code);
    case LineKind::kCopia: return RunCopia(code);
    case LineKind::kSe: return RunSe(code);
    case LineKind::kEnquanto: return RunEnquanto(code);
    case LineKind::kRepete: return RunRepete(code);
    case LineKind::kFimRepete: return RunFimRepete(code);
    case LineKind::kFimEnquanto:
      BackToLoopHead(code.head);
      return true;
    case LineKind::kFimOther: return true;
    case LineKind::kDesvia: return FindUpperLabel(code.label);
    case LineKind::kEscreveChannel: return RunEscreve(code);
    case LineKind::kUndecoded:
    case LineKind::kByHandler: break;
  }
  return false;
}

}  // namespace kal
