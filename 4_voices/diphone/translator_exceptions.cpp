// The translator's exceptions table: whole words replaced by another
// spelling before the rules see them ("word=replacement|comment" lines,
// lower case), sorted for binary search.
#include <algorithm>

#include "4_voices/diphone/translator.h"
#include "4_voices/diphone/translator_tables.h"
#include "4_voices/rule_file.h"

namespace kal {
namespace translator {
namespace {

constexpr size_t kMaxLine = 255;

const std::string* FindException(const TranslatorState& t, const std::string& word) {
  const auto& table = t.exceptions;
  auto it = std::lower_bound(table.begin(), table.end(), word,
                             [](const auto& entry, const std::string& w) { return entry.first < w; });
  if (it == table.end() || it->first != word) return nullptr;
  return &it->second;
}

}  // namespace

std::string ApplyWordException(const TranslatorState& t, const std::string& word) {
  std::string stem = word;
  std::string suffix;
  while (!stem.empty()) {
    if (const std::string* found = FindException(t, stem)) return *found + suffix;
    char last = stem.back();
    if (last != 's' && last != 'm') break;
    suffix.insert(suffix.begin(), last);
    stem.pop_back();
  }
  return word;
}

}  // namespace translator

bool LoadTranslatorExceptions(translator::TranslatorState& t, const std::string& path) {
  using namespace translator;
  std::vector<std::string> lines;
  if (!rule_file::ReadLines(path, &lines)) return false;
  auto& table = t.exceptions;
  table.clear();  // a restart reads the file again
  for (const std::string& line : lines) {
    if (table.size() >= kMaxExceptions) break;
    std::string_view cut = std::string_view(line).substr(0, kMaxLine);
    if (cut.empty()) continue;
    rule_file::WordEntry e = rule_file::ParseWordEntry(cut);
    table.emplace_back(std::move(e.word), std::move(e.replacement));
  }
  // std::string compares bytes as unsigned char, which is the byte order.
  std::stable_sort(table.begin(), table.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return true;
}

void ClearTranslatorExceptions(translator::TranslatorState& t) { t.exceptions.clear(); }

}  // namespace kal
