// The word-to-phoneme tool.
#include "4_voices/orvan/phoneme_tool.h"

#include <istream>
#include <ostream>

#include "0_base/latin1.h"
#include "0_base/visible_text.h"
#include "4_voices/orvan/orvan_messages.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/orvan_text.h"

namespace kal::orvan {

namespace {

// A line of the tool's input longer than this is no word.
constexpr size_t kMaxWordLine = 1024;

enum class WordLine { kLine, kEnd, kTooLong };

// The next line of input, without its LF, read no further than the bound.
WordLine ReadWordLine(std::istream& in, std::string* line) {
  line->clear();
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    if (c == '\n') return WordLine::kLine;
    if (line->size() == kMaxWordLine) return WordLine::kTooLong;
    line->push_back(static_cast<char>(c));
  }
  return line->empty() ? WordLine::kEnd : WordLine::kLine;
}

bool IsVowelPhoneme(const std::string& name) {
  static const char* const kVowels[] = {"a", "@", "am", "e", "ee", "em", "i", "im", "o", "oo", "om", "u", "um"};
  for (const char* v : kVowels) {
    if (name == v) return true;
  }
  return false;
}

}  // namespace

WordPronunciation PronounceWord(const OrvanTables& tables, std::string_view word) {
  std::string upper = UpperLatin1(word);
  std::string spelled = ApplyException(tables, upper);
  PhonemeList lines;
  WordToPhonemes(tables, spelled, StressPosition(spelled), &lines);
  WordPronunciation p;
  int marked = 0;
  for (const std::string& line : lines) {
    size_t i = 0;
    bool stressed = false;
    while (i < line.size() && (line[i] == '>' || line[i] == '\xA8')) stressed |= line[i++] == '>';
    if (i == line.size()) continue;
    p.phonemes.push_back(line.substr(i));
    if (stressed) marked = static_cast<int>(p.phonemes.size());
  }
  // The mark sits on the first phoneme of the stressed letter's rule; the
  // stressed vowel is the first vowel from there on.
  if (marked > 0) {
    for (size_t k = marked - 1; k < p.phonemes.size(); ++k) {
      if (IsVowelPhoneme(p.phonemes[k])) {
        p.stress = static_cast<int>(k + 1);
        break;
      }
    }
  }
  return p;
}

int RunPhonemeTool(std::istream& in, std::ostream& out, std::ostream& err, const OrvanSettings& settings) {
  std::string error;
  OrvanTables tables;
  if (!LoadOrvanWordData(tables, settings, &error)) {
    err << "kaldorin: " << Latin1ToUtf8(error) << "\n";
    return 1;
  }
  std::string line;
  for (int number = 1;; ++number) {
    WordLine read = ReadWordLine(in, &line);
    if (read == WordLine::kEnd) break;
    if (read == WordLine::kTooLong) {
      err << "kaldorin: linha " << number << orvan_msg::kWordLineTooLong << "\n";
      return 1;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string word = Trim(line);
    WordPronunciation p = PronounceWord(tables, Utf8ToLatin1(word));
    out << VisibleText(word) << '\t';
    for (size_t i = 0; i < p.phonemes.size(); ++i) out << (i ? " " : "") << Latin1ToUtf8(p.phonemes[i]);
    out << '\t' << p.stress << '\n';
  }
  return 0;
}

}  // namespace kal::orvan
