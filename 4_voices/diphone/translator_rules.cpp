// The translator's rule table: loading "LEFT(FOCUS)RIGHT=OUTPUT" lines into
// one chain per first focus character, and finding the rule that applies at
// a position of a word. Context symbols stand for character classes; see
// MatchRight and MatchLeft.
#include <fstream>

#include "4_voices/diphone/translator.h"
#include "4_voices/diphone/translator_tables.h"

namespace kal {
namespace translator {
namespace {

constexpr size_t kMaxContext = 5;
constexpr size_t kMaxOutput = 11;

// Splits one rules-file line; false for comments and lines without the
// "(" ")" "=" frame or with an empty focus. Nothing is trimmed.
bool ParseRule(const std::string& line, Rule* rule) {
  if (line.empty() || line[0] == ';') return false;
  size_t open = line.find('(');
  if (open == std::string::npos) return false;
  size_t close = line.find(')', open + 1);
  if (close == std::string::npos) return false;
  size_t eq = line.find('=', close + 1);
  if (eq == std::string::npos) return false;
  size_t bar = line.find('|', eq + 1);
  if (bar == std::string::npos) bar = line.size();
  rule->left = line.substr(0, open).substr(0, kMaxContext);
  rule->focus = line.substr(open + 1, close - open - 1).substr(0, kMaxContext);
  rule->right = line.substr(close + 1, eq - close - 1).substr(0, kMaxContext);
  rule->output = line.substr(eq + 1, bar - eq - 1).substr(0, kMaxOutput);
  return !rule->focus.empty();
}

// Right context, read forwards from just after the focus.
bool MatchRight(std::string_view ctx, std::string_view w, size_t cur) {
  const size_t n = w.size();
  for (char sym : ctx) {
    char c = cur < n ? w[cur] : '\0';
    switch (sym) {
      case '#':
        if (!(IsVowel(c) || IsAccentMark(c))) return false;
        while (cur < n && (IsVowel(w[cur]) || IsAccentMark(w[cur]))) ++cur;
        break;
      case '%':
        if (cur < n) return false;
        break;
      case '&':
        if (c == 0 || std::string_view("lmnrz").find(Lower(c)) == std::string_view::npos) return false;
        ++cur;
        break;
      case '*':
        if (!IsConsonant(c) || Lower(c) == 'r' || Lower(c) == 'l') return false;
        break;
      case '+':
        if (!IsFrontVowel(c)) return false;
        cur += (cur + 1 < n && IsAccentMark(w[cur + 1])) ? 2 : 1;
        break;
      case '[':
        if (cur < n && !(IsConsonant(c) && Lower(c) != 'h')) return false;
        break;
      case '\\':
        if (Lower(c) == 's') ++cur;
        break;
      default:
        if (cur >= n || Upper(c) != sym) return false;
        ++cur;
    }
  }
  return true;
}

// Left context, read backwards from just before the focus. The cursor is
// one past the character it looks at, so 0 means before the word.
bool MatchLeft(std::string_view ctx, std::string_view w, size_t cur) {
  for (size_t k = ctx.size(); k-- > 0;) {
    char sym = ctx[k];
    char c = cur > 0 ? w[cur - 1] : '\0';
    switch (sym) {
      case '#':
        if (!(IsVowel(c) || IsAccentMark(c))) return false;
        while (cur > 0 && (IsVowel(w[cur - 1]) || IsAccentMark(w[cur - 1]))) --cur;
        break;
      case '%':
        if (cur > 0) return false;
        break;
      case ']':
        if (!IsBackVowel(c)) return false;
        --cur;
        break;
      case '_':
        if (cur == 0) break;
        if (IsVowel(c)) {
          --cur;
        } else if (IsAccentMark(c) && cur >= 2 && IsVowel(w[cur - 2])) {
          cur -= 2;
        } else {
          return false;
        }
        break;
      case '|':
        if (c == 0 || std::string_view("nrs").find(Lower(c)) == std::string_view::npos) return false;
        --cur;
        break;
      default:
        if (cur == 0 || Upper(c) != sym) return false;
        --cur;
    }
  }
  return true;
}

bool Applies(const Rule& r, std::string_view w, size_t pos) {
  if (pos + r.focus.size() > w.size()) return false;
  for (size_t i = 0; i < r.focus.size(); ++i)
    if (Upper(w[pos + i]) != r.focus[i]) return false;
  return MatchLeft(r.left, w, pos) && MatchRight(r.right, w, pos + r.focus.size());
}

}  // namespace

const Rule* FindRule(std::string_view word, size_t pos) {
  unsigned char key = static_cast<unsigned char>(Upper(word[pos]));
  if (key < kFirstChain || key > kLastChain) return nullptr;
  for (const Rule& r : State().chains[key - kFirstChain])
    if (Applies(r, word, pos)) return &r;
  return nullptr;
}

}  // namespace translator

bool LoadTranslatorRules(const std::string& path) {
  using namespace translator;
  ReleaseTranslatorRules();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Rule rule;
    if (!ParseRule(line, &rule)) continue;
    unsigned char key = static_cast<unsigned char>(rule.focus[0]);
    if (key < kFirstChain || key > kLastChain) continue;  // could never match
    State().chains[key - kFirstChain].push_back(std::move(rule));
  }
  return true;
}

void ReleaseTranslatorRules() {
  for (auto& chain : translator::State().chains) chain.clear();
}

}  // namespace kal
