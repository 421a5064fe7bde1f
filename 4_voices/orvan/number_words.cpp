// Number words. The tables are written in UTF-8 and converted to Latin-1
// once; the composition follows the way Brazilians read numbers aloud
// ("mil e duzentos e trinta", never "um mil").
#include "4_voices/orvan/number_words.h"

#include <array>
#include <cstdio>

#include "0_base/latin1.h"
#include "4_voices/orvan/orvan_text.h"

namespace kal::orvan {

namespace {

struct NumberTables {
  std::array<std::string, 10> units, teens, tens, hundreds;
  std::array<std::string, 10> ord_units, ord_tens, ord_hundreds;
  std::array<std::string, 5> scale_one, scale_many;
  std::string thousandth;
};

const NumberTables& Tables() {
  static const NumberTables t = [] {
    NumberTables n;
    const char* units[] = {"zero", "um", "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove"};
    const char* teens[] = {"dez", "onze", "doze", "treze", "quatorze", "quinze", "dezesseis", "dezessete",
                           "dezoito", "dezenove"};
    const char* tens[] = {"", "", "vinte", "trinta", "quarenta", "cinqüenta", "sessenta", "setenta",
                          "oitenta", "noventa"};
    const char* hundreds[] = {"", "cento", "duzentos", "trezentos", "quatrocentos", "quinhentos",
                              "seiscentos", "setecentos", "oitocentos", "novecentos"};
    const char* ou[] = {"", "primeiro", "segundo", "terceiro", "quarto", "quinto", "sexto", "sétimo",
                        "oitavo", "nono"};
    const char* ot[] = {"", "décimo", "vigésimo", "trigésimo", "quadragésimo", "quinquagésimo",
                        "sexagésimo", "septuagésimo", "octagésimo", "nonagésimo"};
    const char* oh[] = {"", "centésimo", "ducentésimo", "tricentésimo", "quadrigentésimo",
                        "quingentésimo", "seiscentésimo", "septigentésimo", "octigentésimo",
                        "nongentésimo"};
    const char* one[] = {"trilhão ", "bilhão ", "milhão ", "mil ", ""};
    const char* many[] = {"trilhões ", "bilhões ", "milhões ", "mil ", ""};
    for (int i = 0; i < 10; ++i) {
      n.units[i] = L1(units[i]);
      n.teens[i] = L1(teens[i]);
      n.tens[i] = L1(tens[i]);
      n.hundreds[i] = L1(hundreds[i]);
      n.ord_units[i] = L1(ou[i]);
      n.ord_tens[i] = L1(ot[i]);
      n.ord_hundreds[i] = L1(oh[i]);
    }
    for (int i = 0; i < 5; ++i) {
      n.scale_one[i] = L1(one[i]);
      n.scale_many[i] = L1(many[i]);
    }
    n.thousandth = L1("milésimo");
    return n;
  }();
  return t;
}

// Words of one group of three digits; empty for "000".
std::string GroupWords(int h, int t, int u) {
  const NumberTables& n = Tables();
  if (h == 0 && t == 0 && u == 0) return "";
  if (h == 1 && t == 0 && u == 0) return "cem";
  std::string out;
  if (h != 0) {
    out += n.hundreds[h];
    if (t == 0 && u == 0) return out;
    out += " e ";
  }
  if (t == 1) return out + n.teens[u];
  if (t != 0) {
    out += n.tens[t];
    if (u == 0) return out;
    out += " e ";
  }
  if (u != 0) out += n.units[u];
  return out;
}

}  // namespace

std::string DigitWord(int digit) { return Tables().units[digit % 10]; }

std::string CardinalWords(int64_t value) {
  if (value <= 0) return "zero";
  if (value > kMaxNumber) value = kMaxNumber;
  char digits[32];
  std::snprintf(digits, sizeof digits, "%015lld", static_cast<long long>(value));
  const NumberTables& n = Tables();
  std::string groups[5];
  int last = -1;
  for (int g = 0; g < 5; ++g) {
    const char* d = digits + 3 * g;
    groups[g] = GroupWords(d[0] - '0', d[1] - '0', d[2] - '0');
    if (groups[g].empty()) continue;
    bool single = d[0] == '0' && d[1] == '0' && d[2] == '1';
    if (g < 4) groups[g] += " " + (single ? n.scale_one[g] : n.scale_many[g]);
    last = g;
  }
  std::string out;
  bool earlier = false;
  for (int g = 0; g < 5; ++g) {
    if (groups[g].empty()) continue;
    if (g == last && earlier) out += "e ";
    out += groups[g];
    earlier = true;
  }
  if (StartsWith(out, "um mil") && !StartsWith(out, "um milh")) out.erase(0, 3);
  return out;
}

std::string OrdinalWords(int64_t value, Gender gender) {
  if (value >= 2000) return CardinalWords(value);
  if (value <= 0) return "zero";
  const NumberTables& n = Tables();
  const std::string* words[4] = {&n.ord_units[value % 10], &n.ord_tens[value / 10 % 10],
                                 &n.ord_hundreds[value / 100 % 10], &n.thousandth};
  int digits[4] = {static_cast<int>(value % 10), static_cast<int>(value / 10 % 10),
                   static_cast<int>(value / 100 % 10), static_cast<int>(value / 1000 % 10)};
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (digits[i] == 0) continue;
    std::string w = *words[i];
    if (gender == Gender::kFeminine) w.back() = 'a';
    out = w + " " + out;
  }
  return Trim(out);
}

}  // namespace kal::orvan
