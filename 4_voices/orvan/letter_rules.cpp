// The rule table and the matcher. Rules are chained by the first character
// of their focus, so a position only tries the rules that can start there;
// within a chain the first rule in file order that matches wins.
#include "4_voices/orvan/letter_rules.h"

#include <array>
#include <cstring>

#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/rule_file.h"

namespace kal::orvan {

namespace {

constexpr size_t kMaxContext = 5;
constexpr size_t kMaxOutput = 20;
constexpr size_t kUsedOutput = 11;

using Rule = rule_file::ContextRule;

bool In(const char* set, unsigned char c) { return c != 0 && std::strchr(set, c) != nullptr; }

// Character classes of the contexts, on Latin-1 bytes.
bool IsVowel(unsigned char c) {
  return In("AEIOUaeiou\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC"
            "\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC", c);
}
bool IsConsonant(unsigned char c) {
  return In("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz\xC7\xD1\xE7\xF1", c);
}
bool IsFrontVowel(unsigned char c) { return In("EIei\xC9\xCD\xE9\xED", c); }
bool IsBackVowel(unsigned char c) { return In("AOao\xC1\xC2\xD3\xD4\xE1\xE2\xF3\xF4", c); }
bool IsVoiced(unsigned char c) { return In("LMNRZlmnrz", c); }

// The word with 1-based access; 0 outside it.
struct Word {
  std::string_view text;
  unsigned char At(int i) const {
    return i >= 1 && i <= static_cast<int>(text.size()) ? UpperAscii(static_cast<unsigned char>(text[i - 1])) : 0;
  }
  int Size() const { return static_cast<int>(text.size()); }
};

bool MatchLeft(const Word& w, const std::string& left, int cursor) {
  for (int k = static_cast<int>(left.size()) - 1; k >= 0; --k) {
    unsigned char sym = static_cast<unsigned char>(left[k]);
    unsigned char ch = w.At(cursor);
    switch (sym) {
      case '#': if (!IsVowel(ch)) return false; --cursor; break;
      case '%': if (cursor != 0) return false; break;
      case ']': if (!IsBackVowel(ch)) return false; --cursor; break;
      case '_':
        if (cursor == 0) break;
        if (!IsVowel(ch)) return false;
        --cursor;
        break;
      case '|': if (!In("NRSnrs", ch)) return false; --cursor; break;
      default: if (ch == 0 || ch != sym) return false; --cursor; break;
    }
  }
  return true;
}

bool MatchRight(const Word& w, const std::string& right, int cursor) {
  for (unsigned char sym : right) {
    unsigned char ch = w.At(cursor);
    bool past_end = cursor > w.Size();
    switch (sym) {
      case '#': if (!IsVowel(ch)) return false; ++cursor; break;
      case '%': if (!past_end) return false; break;
      case '&': if (!IsVoiced(ch)) return false; ++cursor; break;
      case '*': if (!IsConsonant(ch) || ch == 'L' || ch == 'R') return false; break;
      case '+': if (!IsFrontVowel(ch)) return false; ++cursor; break;
      case '[':
        if (!past_end && (!IsConsonant(ch) || ch == 'H')) return false;
        break;
      case '\\': if (ch == 'S') ++cursor; break;
      default: if (ch == 0 || ch != sym) return false; ++cursor; break;
    }
  }
  return true;
}

bool Applies(const Rule& r, const Word& w, int pos) {
  int n = static_cast<int>(r.focus.size());
  if (pos + n - 1 > w.Size()) return false;
  for (int k = 0; k < n; ++k) {
    if (w.At(pos + k) != static_cast<unsigned char>(r.focus[k])) return false;
  }
  return MatchLeft(w, r.left, pos - 1) && MatchRight(w, r.right, pos + n);
}

// Splits one rules-file line; false for a line that is not a rule.

}  // namespace

void ReleaseRules(OrvanTables& tables) {
  for (auto& chain : tables.letter_rules) {
    chain.clear();
    chain.shrink_to_fit();
  }
}

bool LoadRules(OrvanTables& tables, const std::string& path) {
  ReleaseRules(tables);
  std::vector<std::string> lines;
  if (!rule_file::ReadLines(path, &lines)) return false;
  for (const std::string& line : lines) {
    Rule r;
    if (!rule_file::ParseContextRule(line, kMaxContext, kMaxOutput, &r)) continue;
    unsigned char first = static_cast<unsigned char>(r.focus[0]);
    if (first < 32) continue;
    tables.letter_rules[first].push_back(std::move(r));
  }
  return true;
}

void WordToPhonemes(const OrvanTables& tables, std::string_view word, int stress, PhonemeList* list) {
  if (stress < 1) stress = 9999;
  Word w{word};
  std::string buffer;
  bool marked = false;
  int pos = 1;
  while (pos <= w.Size()) {
    unsigned char c = static_cast<unsigned char>(word[pos - 1]);
    const Rule* rule = nullptr;
    if (c >= 32) {
      for (const Rule& r : tables.letter_rules[c]) {
        if (Applies(r, w, pos)) {
          rule = &r;
          break;
        }
      }
    }
    if (rule == nullptr) {
      ++pos;
      continue;
    }
    std::string_view out = std::string_view(rule->output).substr(0, kUsedOutput);
    for (char ch : out) {
      if (pos >= stress && !marked) {
        buffer += '>';
        marked = true;
      }
      if (ch == '&') {
        list->push_back(buffer);
        buffer.clear();
      } else {
        buffer += ch;
      }
    }
    if (!out.empty()) {
      list->push_back(buffer);
      buffer.clear();
    }
    pos += static_cast<int>(rule->focus.size());
  }
  list->push_back(buffer);
}

}  // namespace kal::orvan
