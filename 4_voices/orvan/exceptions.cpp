// The exceptions table: whole words the rules get wrong, with the spelling
// the rules should see instead. Sorted once, searched by binary search.
#include <algorithm>
#include <utility>

#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/rule_file.h"

namespace kal::orvan {

namespace {

constexpr size_t kMaxExceptions = 15000;
constexpr size_t kMaxLine = 255;

using palavra_alias = ExceptionEntry;

// Byte order comparison (std::string compares chars, which may be signed).
bool ByteLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

const palavra_alias* Find(const OrvanTables& tables, const std::string& word) {
  const auto& t = tables.exceptions;
  auto it = std::lower_bound(t.begin(), t.end(), word,
                             [](const palavra_alias& e, const std::string& w) { return ByteLess(e.word, w); });
  return it != t.end() && it->word == word ? &*it : nullptr;
}

}  // namespace

void ClearExceptions(OrvanTables& tables) { tables.exceptions.clear(); }

bool LoadExceptions(OrvanTables& tables, const std::string& path) {
  ClearExceptions(tables);
  std::vector<palavra_alias>& table = tables.exceptions;
  std::vector<std::string> lines;
  if (!rule_file::ReadLines(path, &lines)) return false;
  for (const std::string& raw : lines) {
    if (table.size() >= kMaxExceptions) break;
    std::string line = UpperLatin1(raw.substr(0, kMaxLine));
    if (line.empty()) continue;
    rule_file::WordEntry entry = rule_file::ParseWordEntry(line);
    palavra_alias e;
    e.word = std::move(entry.word);
    e.alias = std::move(entry.replacement);
    table.push_back(std::move(e));
  }
  std::stable_sort(table.begin(), table.end(),
                   [](const palavra_alias& a, const palavra_alias& b) { return ByteLess(a.word, b.word); });
  return true;
}

std::string ApplyException(const OrvanTables& tables, std::string_view word) {
  std::string stem(word), suffix;
  for (;;) {
    if (const palavra_alias* e = Find(tables, stem)) return e->alias + suffix;
    if (stem.empty() || (stem.back() != 'S' && stem.back() != 'M')) break;
    suffix.insert(suffix.begin(), stem.back());
    stem.pop_back();
    if (stem.empty()) break;
  }
  return std::string(word);
}

}  // namespace kal::orvan
