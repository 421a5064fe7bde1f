// Text normalisation: a single left-to-right walk over the Latin-1 text with
// an output buffer. Numbers, words and symbols each have a reader that
// advances the position past what it consumed.
#include "4_voices/orvan/text_normaliser.h"

#include <cstring>

#include "0_base/latin1.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/orvan_text.h"

namespace kal::orvan {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsConsonant(unsigned char c) {
  if (c == 0xC7 || c == 0xD1 || c == 0xE7 || c == 0xF1) return true;  // Ç Ñ ç ñ
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return std::strchr("AEIOUaeiou", c) == nullptr;
}

bool IsKeptPunctuation(unsigned char c) { return c != 0 && std::strchr(" !(),.:;?", c) != nullptr; }

// The text being walked, with the position and the abbreviations it may
// expand; At() past the end gives 0.
struct Cursor {
  Cursor(const OrvanTables& t, std::string_view s) : tables(t), text(s) {}
  const OrvanTables& tables;
  std::string_view text;
  size_t pos = 0;
  unsigned char At(size_t i) const { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; }
  unsigned char Here() const { return At(pos); }
  bool AtEnd() const { return pos >= text.size(); }
  bool Ahead(std::string_view s) const { return text.substr(pos, s.size()) == s; }
};

// A run of digits with dashes (a telephone number): spoken digit by digit.
bool ReadDashedDigits(Cursor& c, std::string* out) {
  size_t end = c.pos;
  bool dash = false;
  while (IsDigit(c.At(end)) || c.At(end) == '-') dash |= c.At(end++) == '-';
  if (!dash) return false;
  for (; c.pos < end; ++c.pos) *out += IsDigit(c.Here()) ? " " + DigitWord(c.Here() - '0') : " " + L1("traço");
  return true;
}

// A "." that separates thousands: exactly three digits follow it.
bool IsThousandsDot(const Cursor& c) {
  return c.Here() == '.' && IsDigit(c.At(c.pos + 1)) && IsDigit(c.At(c.pos + 2)) &&
         IsDigit(c.At(c.pos + 3)) && !IsDigit(c.At(c.pos + 4));
}

// Reads a number from a digit and returns its words.
std::string ReadNumber(Cursor& c) {
  std::string out;
  if (ReadDashedDigits(c, &out)) return out;
  std::string zeros;
  while (c.Here() == '0' && IsDigit(c.At(c.pos + 1))) {
    zeros += "zero ";
    ++c.pos;
  }
  int64_t value = 0;
  for (;;) {
    if (IsThousandsDot(c)) {
      ++c.pos;
      continue;
    }
    if (!IsDigit(c.Here())) break;
    int d = c.Here() - '0';
    if (value > (kMaxNumber - d) / 10) break;
    value = value * 10 + d;
    ++c.pos;
  }
  unsigned char next = c.Here();
  if (next == 0xBA) {  // º
    ++c.pos;
    return OrdinalWords(value, Gender::kMasculine);
  }
  if (next == 0xAA) {  // ª
    ++c.pos;
    return OrdinalWords(value, Gender::kFeminine);
  }
  struct Suffix { const char* text; Gender gender; bool plural; };
  static const Suffix kSuffixes[] = {{"o.", Gender::kMasculine, false}, {"a.", Gender::kFeminine, false},
                                     {"os.", Gender::kMasculine, true}, {"as.", Gender::kFeminine, true}};
  for (const Suffix& s : kSuffixes) {
    if (c.Ahead(s.text)) {
      c.pos += std::strlen(s.text);
      return OrdinalWords(value, s.gender) + (s.plural ? "s" : "");
    }
  }
  return zeros + CardinalWords(value);
}

// Reads a word from a letter; words of consonants only come back spelled,
// unless they are a known abbreviation followed by ".".
std::string ReadWord(Cursor& c) {
  size_t start = c.pos;
  bool all_consonants = true;
  while (IsTextLetter(c.Here()) || (c.Here() == '-' && c.pos > start && IsTextLetter(c.At(c.pos - 1)))) {
    if (c.Here() != '-' && !IsConsonant(c.Here())) all_consonants = false;
    ++c.pos;
  }
  std::string_view word = c.text.substr(start, c.pos - start);
  if (!all_consonants) return std::string(word);
  if (c.Here() == '.' && !LookupAbbreviation(c.tables, word).empty()) return std::string(word);
  std::string spelled;
  for (unsigned char ch : word) spelled += " " + SymbolName(ch);
  return spelled;
}

void NormaliseAt(Cursor& c, std::string& out) {
  unsigned char ch = c.Here();
  if (ch == '-' && c.pos > 0 && c.At(c.pos - 1) == ' ' && c.At(c.pos + 1) == ' ') {
    out += ",";
    ++c.pos;
  } else if (ch == '-' && IsDigit(c.At(c.pos + 1))) {
    out += "menos ";
    ++c.pos;
  } else if (IsDigit(ch)) {
    out += " " + ReadNumber(c) + " ";
    while ((c.Here() == ',' || c.Here() == '.') && IsDigit(c.At(c.pos + 1))) {
      out += c.Here() == ',' ? L1("vírgula ") : "ponto ";
      ++c.pos;
      out += ReadNumber(c) + " ";
    }
  } else if (IsTextLetter(ch)) {
    size_t start = c.pos;
    std::string word = ReadWord(c);
    std::string expansion;
    if (c.Here() == '.' && c.At(c.pos + 1) == ' ')
      expansion = LookupAbbreviation(c.tables, c.text.substr(start, c.pos - start));
    if (!expansion.empty()) {
      out += expansion;
      ++c.pos;
    } else {
      out += word;
    }
  } else if (c.Ahead("...")) {
    out += "... ";
    c.pos += 3;
  } else if (ch == '.' && c.pos + 1 < c.text.size() && c.At(c.pos + 1) != ' ') {
    out += " ponto ";
    ++c.pos;
  } else if (IsKeptPunctuation(ch)) {
    out += static_cast<char>(ch);
    ++c.pos;
  } else if (ch == '\t' || ch == '\n' || ch == '\r') {
    ++c.pos;
  } else {
    out += " " + SymbolName(ch) + " ";
    ++c.pos;
  }
}

}  // namespace

bool IsTextLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  static const std::string kAccented = L1("ÀÁÂÃÇÉÊÌÍÑÓÔÕÙÚÜàáâãçéêìíñóôõùúü");
  return c >= 0xC0 && kAccented.find(static_cast<char>(c)) != std::string::npos;
}

std::string NormaliseText(const OrvanTables& tables, std::string_view text) {
  std::string named;
  if (text.size() == 1) {
    named = SymbolName(static_cast<unsigned char>(text[0]));
    text = named;
  }
  Cursor c(tables, text);
  std::string out;
  out.reserve(text.size() * 2);
  while (!c.AtEnd()) NormaliseAt(c, out);
  return out;
}

}  // namespace kal::orvan
