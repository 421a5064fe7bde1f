// Stress of words written without accent marks: a scan from the end of the
// word with a small state machine finds the stressed vowel and upper-cases
// it. Endings in a, e, o (with s or m after them) put the stress on the
// syllable before; endings in i, u, l, n, r, x, z on the last one; the "u"
// of "gu"/"qu" and vowels before "nh"/"rr" or a closed syllable are handled.
#include <cstring>

#include "4_voices/diphone/translator_tables.h"

namespace kal::translator {
namespace {

bool In(char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }

enum class Step { kGo, kMarkThis, kMarkNext };

// One step of the scan at word[i]; updates the state.
Step Advance(const std::string& w, size_t i, int* state) {
  const char c = w[i];
  auto at = [&w](size_t k) { return k < w.size() ? w[k] : '\0'; };
  const bool after_gu_qu = i >= 2 && w[i - 1] == 'u' && In(w[i - 2], "gq");
  switch (*state) {
    case 0:
      if (In(c, "aeo")) *state = 5;
      else if (In(c, "iu")) *state = 3;
      else if (In(c, "lnrxz")) *state = 1;
      else if (c == 'm') *state = 2;
      else if (c == 's') *state = 4;
      return Step::kGo;
    case 1:
      return IsVowel(c) ? Step::kMarkThis : Step::kGo;
    case 2:
      if (In(c, "ae")) *state = 5;
      else if (In(c, "iu")) *state = 3;
      else if (c == 'o') return Step::kMarkThis;
      return Step::kGo;
    case 3:
      if (IsConsonant(c)) return Step::kMarkNext;
      if (IsVowel(c)) return after_gu_qu ? Step::kMarkNext : Step::kMarkThis;
      return Step::kGo;
    case 4:
      if (In(c, "aeo")) *state = 5;
      else if (In(c, "iu")) *state = 3;
      return Step::kGo;
    case 5:
      if (In(c, "aeo")) return Step::kMarkThis;
      if (In(c, "iu")) *state = 8;
      return Step::kGo;
    case 8: {
      if (IsConsonant(c)) return Step::kMarkNext;
      if (c == 'u' && i >= 1 && In(w[i - 1], "gq")) return Step::kMarkNext;
      if (!IsVowel(c)) return Step::kGo;
      char two = at(i + 2), three = at(i + 3);
      bool closes = In(two, "lmnrz") &&
                    ((two == 'n' && three == 'h') || (two == 'r' && three == 'r') ||
                     (IsConsonant(three) && three != 'h'));
      return closes ? Step::kMarkNext : Step::kMarkThis;
    }
  }
  return Step::kGo;
}

}  // namespace

void MarkStress(std::string& w) {
  int state = 0;
  for (size_t i = w.size(); i-- > 0;) {
    Step s = Advance(w, i, &state);
    if (s == Step::kMarkThis) {
      w[i] = Upper(w[i]);
      return;
    }
    if (s == Step::kMarkNext) {
      if (i + 1 < w.size()) w[i + 1] = Upper(w[i + 1]);
      return;
    }
  }
}

}  // namespace kal::translator
