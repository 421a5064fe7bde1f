// Pre-mapping of the translator's input: Latin-1 letters are spelled in
// ASCII as the base letter followed by an accent mark (or as two letters),
// "w" and "y" next to letters become the vowels "u" and "i", the apostrophe
// of "d'" goes, and control characters become blanks.
#include "4_voices/diphone/translator_tables.h"

namespace kal::translator {
namespace {

// The ASCII spelling of a byte from 128 upwards; "" means two blanks, and a
// byte that keeps its own character is returned as itself in *own.
std::string_view Spelling(unsigned char c, bool* own) {
  *own = false;
  if (c < 0xC0) {
    bool keeps = c == 128 || c == 133 || c == 134 || c == 135 || c == 137 ||
                 (c >= 145 && c <= 151) || c == 153 ||
                 (c >= 160 && c != 166 && c != 173 && c != 182);
    *own = keeps;
    return {};
  }
  if (c == 0xD7 || c == 0xF7) {  // multiplication and division signs
    *own = true;
    return {};
  }
  if (c == 0xDF) return "ss";
  if (c == 0xFF) return "y";
  // Upper and lower case share a spelling: index by the upper-case letter.
  static constexpr std::string_view kUpper[32] = {
      "a`", "a'", "a^", "a~", "a~", "aa", "ae", "ss",   // C0-C7
      "e`", "e'", "e^", "e\"", "i`", "i'", "i^", "i\"",  // C8-CF
      "", "nh", "o`", "o'", "o^", "o~", "o`", "",       // D0-D7
      "oe", "u`", "u'", "u^", "u", "y", "th", "ss"};     // D8-DF
  return kUpper[(c - 0xC0) & 0x1F];
}

// Whether a byte of the input is, or is spelled as, a letter.
bool IsLetterByte(unsigned char c) {
  if (c < 128) return IsLetter(static_cast<char>(c));
  bool own;
  std::string_view s = Spelling(c, &own);
  return !own && !s.empty() && IsLetter(s[0]);
}

bool IsWordByte(unsigned char c) { return IsLetterByte(c) || (c < 128 && IsAccentMark(static_cast<char>(c))); }

}  // namespace

std::string PreMap(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned char prev = i > 0 ? static_cast<unsigned char>(text[i - 1]) : 0;
    unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    bool near_letter = IsLetterByte(prev) || IsLetterByte(next);
    if (c == 'W' || c == 'w') {
      out += near_letter ? 'u' : static_cast<char>(c);
    } else if (c == 'Y' || c == 'y') {
      bool alone = !IsWordByte(prev) && !IsWordByte(next);
      out += (near_letter || alone) ? 'i' : static_cast<char>(c);
    } else if (c == '\'' && (prev == 'D' || prev == 'd')) {
      // "d'" as in "d'agua": the apostrophe is dropped.
    } else if (c < 32) {
      out += "  ";
    } else if (c >= 128) {
      bool own;
      std::string_view s = Spelling(c, &own);
      if (own) {
        out += static_cast<char>(c);
      } else {
        out += s.empty() ? std::string_view("  ") : s;
      }
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace kal::translator
