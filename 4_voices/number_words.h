// Portuguese number words, the one place they are composed: cardinals up to
// 999 999 999 999 999, ordinals (masculine or feminine) up to 1999, and the
// digit names, as Latin-1 text. Orvan's text normaliser reads numbers in text
// with them, and the speech facade speaks them from the recorded word snippets.
#pragma once

#include <cstdint>
#include <string>

namespace kal {

enum class Gender { kMasculine, kFeminine };

// The largest number that has words; a reader of digits starts a new number
// rather than go past it.
constexpr int64_t kMaxNumber = 999999999999999LL;

// "zero", "cento e um", "mil e duzentos e trinta e quatro", "um milhão e
// cinco". A group name keeps its trailing space when nothing follows it: 1000
// is "mil ". Zero and below are "zero"; above kMaxNumber reads as kMaxNumber.
std::string CardinalWords(int64_t value);
// "centésimo vigésimo terceiro", "primeira"; 2000 and above are read as
// cardinals, without gender.
std::string OrdinalWords(int64_t value, Gender gender);
// "zero" .. "nove", used when a number is read digit by digit.
std::string DigitWord(int digit);

}  // namespace kal
