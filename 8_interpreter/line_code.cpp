// Running decoded lines. Each runner does what its command's handler does
// for the same text, step for step: names are looked up where the handler
// reads them, values read in the same order, failures at the same points.
// Results of arithmetic are kept as numbers (SetVarNumber), so that a loop
// counter is neither written out as text nor read back between passes.
#include "8_interpreter/line_code.h"

#include <charconv>

#include "6_console/write_and_speak.h"
#include "5_speech/speech.h"
#include "8_interpreter/channels.h"
#include "8_interpreter/control_flow.h"
#include "8_interpreter/dispatcher.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

bool OperandValue(Operand& op, Value* value) {
  switch (op.kind) {
    case Operand::Kind::kText:
      value->is_number = false;
      value->text = op.text;
      return true;
    case Operand::Kind::kVariable: {
      int slot;
      if (!op.var.Resolve(&slot)) return false;
      auto& s = Interp();
      size_t i = static_cast<size_t>(slot);
      value->is_number = s.var_is_number[i];
      value->number = s.var_number[i];
      value->text = s.var_text[i];
      return true;
    }
    case Operand::Kind::kExpression:
      value->is_number = true;
      return RunExpression(op.expr, &value->number);
  }
  return false;
}

std::string_view TextOf(const Value& value, NumberText* buf) {
  if (!value.is_number) return value.text;
  auto end = std::to_chars(buf->digits, buf->digits + sizeof buf->digits, value.number).ptr;
  return std::string_view(buf->digits, static_cast<size_t>(end - buf->digits));
}

namespace {

bool InInt32(int64_t v, int32_t* out) {
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

// The operand's value under the numeric rule (trimmed of blanks first when
// asked, as COPIA reads its positions); false where the handler fails.
bool OperandNumber(Operand& op, bool trimmed, int32_t* n) {
  if (op.kind == Operand::Kind::kText) {
    *n = trimmed ? op.number_trimmed : op.number;
    return trimmed ? op.numeric_trimmed : op.numeric;
  }
  Value v;
  if (!OperandValue(op, &v)) return false;
  // A number's plain decimal reads back as that number when it fits.
  if (v.is_number) return InInt32(v.number, n);
  return ParseNumber(trimmed ? TrimBlanks(v.text) : v.text, n);
}

bool RunSoma(LineCode& code) {
  int slot;
  int32_t n;
  if (!code.var.Resolve(&slot) || !OperandNumber(code.operands[0], false, &n)) return false;
  auto& s = Interp();
  size_t i = static_cast<size_t>(slot);
  int32_t suffix;
  if (s.var_is_number[i]) {
    // A number's text is all numeric suffix.
    if (!InInt32(s.var_number[i], &suffix)) return false;
    SetVarNumber(slot, Wrap32(static_cast<int64_t>(n) + suffix));
    return true;
  }
  std::string& var = s.var_text[i];
  size_t prefix;
  if (!SplitNumericSuffix(var, &prefix, &suffix)) return false;
  if (prefix == 0) {
    SetVarNumber(slot, Wrap32(static_cast<int64_t>(n) + suffix));
    return true;
  }
  var.resize(prefix);
  AppendNumber(&var, Wrap32(static_cast<int64_t>(n) + suffix));
  return true;
}

bool RunArithmetic(LineCode& code) {
  int slot;
  int32_t v, n;
  if (!code.var.Resolve(&slot) || !VarAsNumber(slot, &v)) return false;
  if (!OperandNumber(code.operands[0], false, &n)) return false;
  int64_t result;
  if (code.kind == LineKind::kSubtrai) {
    result = Wrap32(static_cast<int64_t>(v) - n);
  } else if (code.kind == LineKind::kMultiplica) {
    result = Wrap32(static_cast<int64_t>(v) * n);
  } else if (n == 0) {
    SayLine(kMsgDivisionByZero);
    return false;
  } else {
    result = Wrap32(static_cast<int64_t>(v) / n);
  }
  SetVarNumber(slot, result);
  return !code.text_after;
}

bool RunSeja(LineCode& code) {
  int slot;
  Value v;
  if (!code.var.Resolve(&slot) || !OperandValue(code.operands[0], &v)) return false;
  if (v.is_number) {
    SetVarNumber(slot, v.number);
  } else {
    Var(slot).assign(v.text);
  }
  return true;
}

bool RunConcatena(LineCode& code) {
  int slot;
  Value v;
  if (!code.var.Resolve(&slot) || !OperandValue(code.operands[0], &v)) return false;
  NumberText buf;
  std::string_view text = TextOf(v, &buf);
  std::string& var = Var(slot);
  if (!ValueSizeOk(var.size() + text.size())) return false;
  var.append(text);
  return true;
}

bool RunCopia(LineCode& code) {
  int dest, src;
  int32_t from, to;
  if (!code.var.Resolve(&dest) || !code.var2.Resolve(&src) || !OperandNumber(code.operands[0], true, &from) ||
      !OperandNumber(code.operands[1], true, &to))
    return false;
  const std::string& s = Var(src);
  int64_t count = static_cast<int64_t>(to) - from + 1;
  int64_t start = from < 1 ? 1 : from;
  std::string& d = Var(dest);
  if (start <= static_cast<int64_t>(s.size()) && count >= 1) {
    // assign copes with a source that is the destination itself
    d.assign(s, static_cast<size_t>(start - 1), static_cast<size_t>(count));
  } else {
    d.clear();
  }
  return true;
}

// A value's number for ordering, when its comparison form is a padded run
// of digits: a number at or above zero, or a literal of digits only.
bool OrderNumber(const Operand& op, const Value& v, uint64_t* n) {
  if (v.is_number) {
    if (v.number < 0) return false;
    *n = static_cast<uint64_t>(v.number);
    return true;
  }
  if (op.kind != Operand::Kind::kText || !op.digits) return false;
  *n = op.digits_value;
  return true;
}

bool Holds(Condition& c, bool* truth) {
  Value l, r;
  if (!OperandValue(c.left, &l) || !OperandValue(c.right, &r)) return false;
  bool result;
  uint64_t ln, rn;
  bool ordered = c.op != CompareOp::kEqExact && c.op != CompareOp::kContains && c.op != CompareOp::kBegins &&
                 c.op != CompareOp::kEnds;
  if (ordered && OrderNumber(c.left, l, &ln) && OrderNumber(c.right, r, &rn)) {
    // Digit runs of the same padded length compare as their numbers.
    switch (c.op) {
      case CompareOp::kEq: result = ln == rn; break;
      case CompareOp::kNe: result = ln != rn; break;
      case CompareOp::kLt: result = ln < rn; break;
      case CompareOp::kGt: result = ln > rn; break;
      case CompareOp::kLe: result = ln <= rn; break;
      default: result = ln >= rn; break;
    }
  } else {
    NumberText lb, rb;
    result = CompareTexts(c.op, TextOf(l, &lb), TextOf(r, &rb));
  }
  *truth = result != c.negate;
  return true;
}

// The command of a one-line SE, run as ExecuteLine runs it from within a
// line (only a stored line's own command comes here decoded; a line within
// a line within a line runs from its text, where the depth is bounded).
bool RunNested(LineCode& code) {
  auto& s = Interp();
  NestedCommand& c = code.nested;
  if (s.nesting > 0) return ExecuteLine(code.command, true);
  if (c.nothing) return true;
  if (c.refused) return false;
  ++s.nesting;
  bool ok = c.code && RunsDecoded(c.entry) ? RunLineCode(*c.code) : DispatchEntry(c.entry, c.word, c.args);
  --s.nesting;
  return ok;
}

bool RunSe(LineCode& code) {
  bool truth;
  if (!Holds(code.condition, &truth)) return false;
  if (!code.command.empty()) return truth ? RunNested(code) : true;
  if (!truth) SkipFalseBlock();
  return true;
}

bool RunEnquanto(LineCode& code) {
  bool truth;
  if (!Holds(code.condition, &truth)) return false;
  if (!truth) SkipToEnd(Block::kEnquanto);
  return true;
}

bool RunRepete(LineCode& code) {
  int slot;
  int32_t count;
  if (!code.var.Resolve(&slot) || !OperandNumber(code.operands[0], false, &count)) return false;
  SetVarNumber(slot, 1);
  if (count < 1) SkipToEnd(Block::kRepete);
  return true;
}

// The step of the counted loop, on the REPETE line: the line number moves
// there first, so that a failing step is reported at the head.
bool RunFimRepete(LineCode& code) {
  Interp().current_line = code.head;
  int slot;
  int32_t count, value;
  if (!code.var.Resolve(&slot) || !OperandNumber(code.operands[0], false, &count) || !VarAsNumber(slot, &value))
    return false;
  int64_t next = static_cast<int64_t>(value) + 1;
  SetVarNumber(slot, next);
  if (count < next) SkipToEnd(Block::kRepete);
  return true;
}

bool RunEscreve(LineCode& code) {
  auto& s = Interp();
  s.last_status = 0;
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
  Channel& ch = s.channels[static_cast<size_t>(code.channel)];
  if (!ch.stream) {
    SayLine(kMsgFileProcessingError);
    return false;
  }
  if (!code.no_line_end) text += "\r\n";
  s.last_status = ch.stream->Write(text);
  if (!complete) return false;
  WaitSpeech();
  return true;
}

}  // namespace

bool RunLineCode(LineCode& code) {
  switch (code.kind) {
    case LineKind::kSeja: return RunSeja(code);
    case LineKind::kSoma: return RunSoma(code);
    case LineKind::kSubtrai:
    case LineKind::kMultiplica:
    case LineKind::kDivide: return RunArithmetic(code);
    case LineKind::kConcatena: return RunConcatena(code);
    case LineKind::kCopia: return RunCopia(code);
    case LineKind::kSe: return RunSe(code);
    case LineKind::kEnquanto: return RunEnquanto(code);
    case LineKind::kRepete: return RunRepete(code);
    case LineKind::kFimRepete: return RunFimRepete(code);
    case LineKind::kFimEnquanto:
      Interp().current_line = code.head - 1;
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
