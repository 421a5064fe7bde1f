// Building the utterance's phoneme list, and the liaison pass over it.
#include "4_voices/orvan/phoneme_list.h"

#include <cstring>

#include "4_voices/orvan/orvan_text.h"

namespace kal::orvan {

namespace {

constexpr char kStressMark = '>';
constexpr char kEndOfStress = '\xA8';  // ¨

void AddToken(const OrvanTables& tables, const std::string& entry, PhonemeList* list) {
  list->push_back(";" + entry);
  std::string token = entry.size() > 4 ? UpperLatin1(entry.substr(4)) : std::string();
  if (token.empty()) {
    list->push_back("__");
    list->push_back("");
    return;
  }
  unsigned char first = static_cast<unsigned char>(token[0]);
  if (std::strchr(" !(),.:;?", first) != nullptr) {
    if (first != ' ') list->push_back(std::string("_") + static_cast<char>(first));
    return;
  }
  std::string word = ApplyException(tables, token);
  int stress = IsUnstressedWord(word) ? 0 : StressPosition(word);
  WordToPhonemes(tables, word, stress, list);
}

// Number of stress marks (">", "¨") in front of a phoneme name.
size_t MarkCount(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == kStressMark || line[i] == kEndOfStress)) ++i;
  return i;
}

// A phoneme line starts with a vowel phoneme once its marks are skipped.
bool StartsWithVowel(const std::string& line) {
  size_t i = MarkCount(line);
  return i < line.size() && std::strchr("aeiouwy", line[i]) != nullptr;
}

}  // namespace

void ApplyLiaison(PhonemeList* list) {
  PhonemeList& l = *list;
  for (size_t i = 3; i + 1 < l.size(); ++i) {
    if (l[i].empty() || l[i][0] != ';') continue;
    if (StartsWithVowel(l[i + 1])) {
      std::string& last = l[i - 2];
      size_t marks = MarkCount(last);
      std::string_view name = std::string_view(last).substr(marks);
      if (name == "r2") last = last.substr(0, marks) + "r";
      else if (name == "s2") last = last.substr(0, marks) + "z";
    }
    ++i;  // the scan goes on after that first phoneme line
  }
}

PhonemeList BuildPhonemeList(const OrvanTables& tables, const std::vector<std::string>& entries) {
  PhonemeList list;
  for (const std::string& entry : entries) AddToken(tables, entry, &list);
  list.push_back("__");
  ApplyLiaison(&list);
  return list;
}

}  // namespace kal::orvan
