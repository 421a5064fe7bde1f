// The conditions of SE and ENQUANTO.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

// Evaluates a condition at the front of *text; the rest is handed back
// trimmed.
bool EvaluateCondition(std::string_view* text, bool* truth);

// The comparison operators of conditions.
enum class CompareOp { kGe, kLe, kEqExact, kNe, kContains, kBegins, kEnds, kIn, kEq, kLt, kGt };

// Reads the operator at the front of *text (not trimmed after it).
bool ReadCompareOperator(std::string_view* text, CompareOp* op);
// The truth of "l op r" for every operator but kIn.
bool CompareTexts(CompareOp op, std::string_view l, std::string_view r);

// The comparison form of a text: a run of digits only (the empty text
// included) is padded with zeros to 21 characters, keeping the last 21.
std::string PadNumber(std::string_view text);

}  // namespace kal
