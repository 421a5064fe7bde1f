// The conditions of SE and ENQUANTO.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "8_interpreter/operands.h"

namespace kal {

struct InterpreterState;

// Evaluates a condition at the front of *text (decoded, then its decoded
// form evaluated as a decoded line's is); the rest is handed back trimmed.
bool EvaluateCondition(InterpreterState& in, std::string_view* text, bool* truth);

// The comparison operators of conditions.
enum class CompareOp { kGe, kLe, kEqExact, kNe, kContains, kBegins, kEnds, kIn, kEq, kLt, kGt };

// Reads the operator at the front of *text (not trimmed after it).
bool ReadCompareOperator(std::string_view* text, CompareOp* op);
// The truth of "l op r" for every operator but kIn.
bool CompareTexts(CompareOp op, std::string_view l, std::string_view r);

// The truth of a condition on two values read as operands ([NAO] l op r,
// every operator but kIn), as CompareTexts on their texts; the condition
// of SE and ENQUANTO read from the text and decoded alike. Values whose
// comparison forms are padded digit runs (numbers at or above zero,
// literals of digits only) compare as their numbers, here inline since
// loops test counters; other values by their texts.
bool CompareValueTexts(CompareOp op, const Value& l, const Value& r);
inline bool OrderNumber(const Value& v, uint64_t* n) {
  if (v.is_number) {
    if (v.number < 0) return false;
    *n = static_cast<uint64_t>(v.number);
    return true;
  }
  if (!v.digits) return false;
  *n = v.digits_value;
  return true;
}
// Whether the operator orders values that are numbers by their numbers
// (every one but ==, *=*, =* and *=; EM is not asked).
inline bool OrdersNumbers(CompareOp op) {
  return op != CompareOp::kEqExact && op != CompareOp::kContains && op != CompareOp::kBegins && op != CompareOp::kEnds;
}
// "l op r" for two such numbers and an operator that orders them.
inline bool NumbersHold(CompareOp op, uint64_t l, uint64_t r) {
  switch (op) {
    case CompareOp::kEq: return l == r;
    case CompareOp::kNe: return l != r;
    case CompareOp::kLt: return l < r;
    case CompareOp::kGt: return l > r;
    case CompareOp::kLe: return l <= r;
    default: return l >= r;
  }
}
inline bool ConditionHolds(bool negate, CompareOp op, const Value& l, const Value& r) {
  uint64_t ln, rn;
  bool result = OrdersNumbers(op) && OrderNumber(l, &ln) && OrderNumber(r, &rn) ? NumbersHold(op, ln, rn)
                                                                                 : CompareValueTexts(op, l, r);
  return result != negate;
}

// The truth of "[NAO] left EM [name]"; false when there is no such list.
bool InNamedList(InterpreterState& in, std::string_view name, bool negate, const Value& left, bool* truth);

// The comparison form of a text: a run of digits only (the empty text
// included) is padded with zeros to 21 characters, keeping the last 21.
std::string PadNumber(std::string_view text);

}  // namespace kal
