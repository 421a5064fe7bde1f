// The rules shared by the handlers and the decoded lines. Results of
// arithmetic are kept as numbers (SetVarNumber), so that a loop counter is
// neither written out as text nor read back between passes.
#include "8_interpreter/line_rules.h"

#include <string>

#include "5_speech/speech.h"
#include "8_interpreter/control_flow.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

void AssignValue(InterpreterState& in, int slot, const Value& value) {
  int64_t number;
  if (value.is_number) {
    SetVarNumber(in, slot, value.number);
  } else if (PlainDecimal(value.text, &number)) {
    SetVarNumber(in, slot, number);  // the same value, which loops then read without parsing it
  } else {
    Var(in, slot).assign(value.text);  // assign copes with the variable's own text
  }
}

bool AppendValue(InterpreterState& in, int slot, const Value& value) {
  NumberText buf;
  std::string_view text = TextOf(value, &buf);
  std::string& var = Var(in, slot);
  if (!ValueSizeOk(in, var.size() + text.size())) return false;
  var.append(text);
  return true;
}

void CopyPart(InterpreterState& in, int dest, int src, int32_t from, int32_t to) {
  const std::string& s = Var(in, src);
  int64_t count = static_cast<int64_t>(to) - from + 1;
  int64_t start = from < 1 ? 1 : from;
  std::string& d = Var(in, dest);
  if (start <= static_cast<int64_t>(s.size()) && count >= 1) {
    // assign copes with a source that is the destination itself
    d.assign(s, static_cast<size_t>(start - 1), static_cast<size_t>(count));
  } else {
    d.clear();
  }
}

bool AddToTextSuffix(InterpreterState& in, int slot, int32_t n) {
  std::string& var = Var(in, slot);
  int32_t suffix;
  size_t prefix;
  if (!SplitNumericSuffix(var, &prefix, &suffix)) return FailNotNumber(in, slot);
  if (prefix == 0) {
    SetVarNumber(in, slot, Wrap32(static_cast<int64_t>(n) + suffix));
    return true;
  }
  var.resize(prefix);
  AppendNumber(&var, Wrap32(static_cast<int64_t>(n) + suffix));
  return true;
}

bool ApplyArithmetic(InterpreterState& in, ArithmeticOp op, int slot, int32_t v, int32_t n) {
  int64_t result;
  if (op == ArithmeticOp::kSub) {
    result = Wrap32(static_cast<int64_t>(v) - n);
  } else if (op == ArithmeticOp::kMul) {
    result = Wrap32(static_cast<int64_t>(v) * n);
  } else if (n == 0) {
    return Fail(in, CheckCode::kDivisionByZero, std::string(kMsgDivisionByZero));
  } else {
    result = Wrap32(static_cast<int64_t>(v) / n);  // -2147483648 / -1 wraps to itself
  }
  SetVarNumber(in, slot, result);
  return true;
}

void StartCount(InterpreterState& in, int slot, int32_t count) {
  SetVarNumber(in, slot, 1);
  if (count < 1) SkipToEnd(in, Block::kRepete);
}


}  // namespace kal
