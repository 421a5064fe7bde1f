// Portuguese number words: cardinals up to 999 999 999 999 999 and ordinals
// (masculine or feminine) up to 1999, as Latin-1 text.
#pragma once

#include <cstdint>
#include <string>

namespace kal::orvan {

enum class Gender { kMasculine, kFeminine };

// The largest value a number may reach before the reader starts a new one.
constexpr int64_t kMaxNumber = 999999999999999LL;

std::string CardinalWords(int64_t value);
// 2000 and above are read as cardinals, without gender.
std::string OrdinalWords(int64_t value, Gender gender);
// "zero" .. "nove", used when a number is read digit by digit.
std::string DigitWord(int digit);

}  // namespace kal::orvan
