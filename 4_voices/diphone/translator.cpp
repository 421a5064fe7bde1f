// The word translator: pre-maps the text, takes it word by word, replaces
// exceptional words, marks the stress and runs the letter-to-sound rules.
#include "4_voices/diphone/translator.h"

#include "4_voices/diphone/translator_tables.h"

namespace kal {
namespace translator {
namespace {

struct Word {
  std::string text;
  int vowels = 0;
  bool accent = false;  // an accent mark other than the diaeresis
};

void Measure(Word* w) {
  w->vowels = 0;
  w->accent = false;
  for (size_t i = 0; i < w->text.size(); ++i) {
    char c = w->text[i];
    if (IsVowel(c)) ++w->vowels;
    if (i > 0 && IsAccentMark(c) && c != '"') w->accent = true;
  }
}

// Takes the next word from *pos: a run of word characters starting with a
// letter (lower-cased), or any other single character. False at the end.
bool TakeWord(std::string_view text, size_t* pos, Word* w) {
  size_t p = *pos;
  while (p < text.size() && text[p] == ' ') ++p;
  if (p >= text.size()) {
    *pos = p;
    return false;
  }
  w->text.clear();
  if (IsLetter(text[p])) {
    while (p < text.size() && IsWordChar(text[p])) w->text += Lower(text[p++]);
  } else {
    w->text += text[p++];
  }
  Measure(w);
  *pos = p;
  return true;
}

bool HasUpperVowel(const std::string& w) {
  for (char c : w)
    if (c >= 'A' && c <= 'Z' && IsVowel(c)) return true;
  return false;
}

bool NeedsSpelling(const std::string& w) {
  for (char c : w)
    if (!IsConsonant(c) && !IsPunctuation(c)) return false;
  return true;
}

std::string Spell(const std::string& w) {
  std::string out;
  for (char c : w) {
    out += "[ /_";
    out += c;
    out += ']';
  }
  return out;
}

// The rule units of a word, "[unit/unit/.../unit]".
std::string ApplyRules(const TranslatorState& t, const std::string& w) {
  std::string out = "[";
  size_t pos = 0;
  while (pos < w.size()) {
    const Rule* rule = FindRule(t, w, pos);
    std::string unit = rule ? rule->output : std::string(" /_") + Upper(w[pos]);
    const char c = w[pos];
    if (c >= 'A' && c <= 'Z' && IsVowel(c)) {
      for (char& u : unit)
        if (IsVowel(u)) {
          u = Upper(u);
          break;
        }
    }
    out += unit;
    pos += rule ? rule->focus.size() : 1;
    if (pos < w.size()) out += '/';
  }
  out += ']';
  return out;
}

std::string TranslateWord(const TranslatorState& t, Word w) {
  std::string replaced = ApplyWordException(t, w.text);
  if (replaced != w.text) {
    // A replacement carries its own accent marks (and may mark the stress
    // with an upper-case vowel), so it is measured again.
    w.text = std::move(replaced);
    Measure(&w);
  }
  bool one_vowel_l = w.vowels == 1 && !w.text.empty() && w.text.back() == 'l';
  if (!w.accent && !HasUpperVowel(w.text) && (w.vowels > 1 || one_vowel_l)) MarkStress(w.text);
  if (w.text.empty() || NeedsSpelling(w.text)) return Spell(w.text);
  return ApplyRules(t, w.text);
}

}  // namespace
}  // namespace translator

std::string TranslateWords(const translator::TranslatorState& t, std::string_view text) {
  using namespace translator;
  const std::string mapped = PreMap(text);
  std::string out;
  size_t pos = 0;
  Word w;
  while (TakeWord(mapped, &pos, &w)) out += TranslateWord(t, w);
  return out;
}

}  // namespace kal
