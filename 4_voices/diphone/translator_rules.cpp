// The translator's rule table: loading "LEFT(FOCUS)RIGHT=OUTPUT" lines into
// one chain per first focus character, and finding the rule that applies at
// a position of a word. Context symbols stand for character classes; see
// MatchRight and MatchLeft.
#include "4_voices/diphone/translator.h"
#include "4_voices/diphone/translator_tables.h"
#include "4_voices/rule_file.h"

namespace kal {
namespace translator {
namespace {

constexpr size_t kMaxContext = 5;
constexpr size_t kMaxOutput = 11;

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

const Rule* FindRule(const TranslatorState& t, std::string_view word, size_t pos) {
  unsigned char key = static_cast<unsigned char>(Upper(word[pos]));
  if (key < kFirstChain || key > kLastChain) return nullptr;
  for (const Rule& r : t.chains[key - kFirstChain])
    if (Applies(r, word, pos)) return &r;
  return nullptr;
}

}  // namespace translator

bool LoadTranslatorRules(translator::TranslatorState& t, const std::string& path) {
  using namespace translator;
  ReleaseTranslatorRules(t);
  std::vector<std::string> lines;
  if (!rule_file::ReadLines(path, &lines)) return false;
  for (const std::string& line : lines) {
    Rule rule;
    if (!rule_file::ParseContextRule(line, kMaxContext, kMaxOutput, &rule)) continue;
    unsigned char key = static_cast<unsigned char>(rule.focus[0]);
    if (key < kFirstChain || key > kLastChain) continue;  // could never match
    t.chains[key - kFirstChain].push_back(std::move(rule));
  }
  return true;
}

void ReleaseTranslatorRules(translator::TranslatorState& t) {
  for (auto& chain : t.chains) chain.clear();
}

}  // namespace kal
