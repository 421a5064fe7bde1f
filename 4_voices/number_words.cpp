// Number words. The tables are constant UTF-8 text; the words are composed in
// UTF-8 and turned into Latin-1 once, at the end. The composition follows the
// way Brazilians read numbers aloud ("mil e duzentos e trinta", never "um mil").
#include "4_voices/number_words.h"

#include <cstdio>
#include <string_view>

#include "0_base/latin1.h"

namespace kal {

namespace {

constexpr const char* kUnits[] = {"zero", "um", "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove"};
constexpr const char* kTeens[] = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                                  "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr const char* kTens[] = {"",         "",         "vinte",   "trinta",  "quarenta",
                                 "cinqüenta", "sessenta", "setenta", "oitenta", "noventa"};
constexpr const char* kHundreds[] = {"",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
                                     "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
// Singular and plural of the group names, trillions first; the last group
// (units) has none.
constexpr const char* kGroupOne[] = {"trilhão ", "bilhão ", "milhão ", "mil ", ""};
constexpr const char* kGroupMany[] = {"trilhões ", "bilhões ", "milhões ", "mil ", ""};
// Ordinals by place: units, tens, hundreds, then the one thousandth. Each ends
// in "o", which the feminine turns into "a".
constexpr const char* kOrdinalUnits[] = {"",      "primeiro", "segundo", "terceiro", "quarto",
                                         "quinto", "sexto",    "sétimo",  "oitavo",   "nono"};
constexpr const char* kOrdinalTens[] = {"",           "décimo",     "vigésimo",      "trigésimo",  "quadragésimo",
                                        "quinquagésimo", "sexagésimo", "septuagésimo", "octagésimo", "nonagésimo"};
constexpr const char* kOrdinalHundreds[] = {"",               "centésimo",     "ducentésimo",    "tricentésimo",
                                            "quadrigentésimo", "quingentésimo", "seiscentésimo", "septigentésimo",
                                            "octigentésimo",  "nongentésimo"};
constexpr const char* kThousandth = "milésimo";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Words of one group of three digits; empty for "000".
std::string GroupWords(int h, int t, int u) {
  if (h == 0 && t == 0 && u == 0) return "";
  if (h == 1 && t == 0 && u == 0) return "cem";
  std::string out;
  if (h != 0) {
    out += kHundreds[h];
    if (t == 0 && u == 0) return out;
    out += " e ";
  }
  if (t == 1) return out + kTeens[u];
  if (t != 0) {
    out += kTens[t];
    if (u == 0) return out;
    out += " e ";
  }
  if (u != 0) out += kUnits[u];
  return out;
}

}  // namespace

std::string DigitWord(int digit) { return L1(kUnits[digit % 10]); }

std::string CardinalWords(int64_t value) {
  if (value <= 0) return "zero";
  if (value > kMaxNumber) value = kMaxNumber;
  char digits[32];
  std::snprintf(digits, sizeof digits, "%015lld", static_cast<long long>(value));
  int last = -1;
  for (int g = 0; g < 5; ++g)
    if (std::string_view(digits + 3 * g, 3) != "000") last = g;
  std::string out;
  bool earlier = false;
  for (int g = 0; g < 5; ++g) {
    const char* d = digits + 3 * g;
    std::string words = GroupWords(d[0] - '0', d[1] - '0', d[2] - '0');
    if (words.empty()) continue;
    if (g < 4) words += std::string(" ") + (std::string_view(d, 3) == "001" ? kGroupOne[g] : kGroupMany[g]);
    if (g == last && earlier) out += "e ";
    out += words;
    earlier = true;
  }
  // One thousand is "mil", not "um mil".
  if (StartsWith(out, "um mil") && !StartsWith(out, "um milh")) out.erase(0, 3);
  return L1(out);
}

std::string OrdinalWords(int64_t value, Gender gender) {
  if (value >= 2000) return CardinalWords(value);
  if (value <= 0) return "zero";
  const char* words[4] = {kOrdinalUnits[value % 10], kOrdinalTens[value / 10 % 10],
                          kOrdinalHundreds[value / 100 % 10], kThousandth};
  int digits[4] = {static_cast<int>(value % 10), static_cast<int>(value / 10 % 10),
                   static_cast<int>(value / 100 % 10), static_cast<int>(value / 1000 % 10)};
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (digits[i] == 0) continue;
    std::string w = words[i];
    if (gender == Gender::kFeminine) w.back() = 'a';
    out = w + " " + out;
  }
  out.pop_back();  // the space after the last word
  return L1(out);
}

}  // namespace kal
