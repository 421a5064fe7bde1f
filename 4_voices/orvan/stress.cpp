// The stress finder: an accented vowel decides; otherwise a small state
// machine reads the word from its end, the way Portuguese spelling marks
// the default stress (penultimate after a final a/e/o, last syllable after
// i, u or a consonant) and its diphthongs.
#include <cstring>

#include "0_base/latin1.h"
#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/orvan_text.h"

namespace kal::orvan {

namespace {

bool In(const char* set, unsigned char c) { return c != 0 && std::strchr(set, c) != nullptr; }

// à á â ã é ê í ó ô õ ú
bool IsAccentedVowel(unsigned char c) { return In("\xE0\xE1\xE2\xE3\xE9\xEA\xED\xF3\xF4\xF5\xFA", c); }
// a e i o u w y ü
bool IsPlainVowel(unsigned char c) { return In("aeiouwy\xFC", c); }

// Runs the state machine from the last letter leftwards.
int ScanStress(const std::string& w) {
  int n = static_cast<int>(w.size());
  int candidate = 0, state = 0;
  for (int i = n; i >= 1; --i) {
    unsigned char c = static_cast<unsigned char>(w[i - 1]);
    switch (state) {
      case 0:
        if (In("aeo", c)) { candidate = i; state = 1; }
        else if (c == 'i') { candidate = i; state = 20; }
        else if (c == 'u') { candidate = i; state = 10; }
        else if (c == 'm') state = 40;
        else if (c != 's') state = 30;
        break;
      case 1:
        if (c == 'u') state = 4;
        else if (IsPlainVowel(c)) return i;
        else state = 2;
        break;
      case 2:
        if (In("aeo", c)) return i;
        if (In("iu", c)) { candidate = i; state = 3; }
        break;
      case 3:
        if (In("aeo", c)) return i;
        if (c == 'u') { state = 5; break; }
        return candidate;
      case 4:
        if (In("gq", c)) { candidate = i + 2; state = 2; break; }
        return i + 1;
      case 5:
        return In("gq", c) ? i + 2 : i + 1;
      case 10:
        return In("aeio", c) ? i : candidate;
      case 20:
        if (In("aeo", c)) candidate = i;
        else if (c == 'u') state = 21;
        else return candidate;
        break;
      case 21:
        return In("gq", c) ? i + 2 : i + 1;
      case 30:
        if (IsPlainVowel(c)) return i;
        break;
      case 40:
        if (In("ae", c)) { candidate = i; state = 1; }
        else if (In("iou", c)) return i;
        else state = 0;
        break;
    }
  }
  return candidate;
}

}  // namespace

int StressPosition(std::string_view word) {
  std::string w = LowerLatin1(word);
  bool plain = false;
  for (int i = static_cast<int>(w.size()); i >= 1; --i) {
    unsigned char c = static_cast<unsigned char>(w[i - 1]);
    if (IsAccentedVowel(c)) return i;
    plain |= IsPlainVowel(c);
  }
  return plain ? ScanStress(w) : 0;
}

bool IsUnstressedWord(std::string_view word) {
  if (word.size() <= 2) return true;
  static const std::string kWords[] = {"POR", "DAS", "DOS", "COM", L1("NÃO"), "SIM"};
  for (const std::string& w : kWords) {
    if (word == w) return true;
  }
  return false;
}

}  // namespace kal::orvan
