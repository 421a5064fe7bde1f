// Numbers are texts: the numeric rule decides whether a text reads as a
// 32-bit integer, and results are written back as plain decimal text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

// Leading spaces, then a sign and decimal digits, or a hexadecimal prefix
// ("$", "x", "X", "0x", "0X") and hexadecimal digits; nothing after. Decimal
// must fit in int32; hexadecimal in 32 bits, taken as the bit pattern.
bool ParseNumber(std::string_view text, int32_t* value);

// Decimal text, '-' for negative values, no leading zeros.
std::string NumberToText(int64_t value);
void AppendNumber(std::string* out, int64_t value);

// Whether text is the plain decimal of a number, as AppendNumber writes
// it: an optional '-' and one to eighteen digits without leading zeros
// ("0" alone, never "-0"). *value: that number. Such a text and the number
// held without its text are the same value to every rule.
bool PlainDecimal(std::string_view text, int64_t* value);

// Splits a value into a prefix and its numeric suffix (the digits at its
// end with a '-' right before them, or a final '-' alone), as SOMA counts.
// *suffix is 0 when there are no digits. Fails when the suffix does not fit
// in 32 bits.
bool SplitNumericSuffix(std::string_view v, size_t* prefix_size, int32_t* suffix);

// The numeric rule on a number held without its text: its plain decimal
// reads back as that number exactly when it fits in 32 bits.
inline bool NumberFits(int64_t number, int32_t* value) {
  if (number < INT32_MIN || number > INT32_MAX) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

// 32-bit wrapping arithmetic, as the arithmetic commands do it.
inline int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

}  // namespace kal
