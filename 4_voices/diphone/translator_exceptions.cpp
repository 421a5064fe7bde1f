// The translator's exceptions table: whole words replaced by another
// spelling before the rules see them ("word=replacement|comment" lines,
// lower case), sorted for binary search.
#include <algorithm>
#include <fstream>

#include "4_voices/diphone/translator.h"
#include "4_voices/diphone/translator_tables.h"

namespace kal {
namespace translator {
namespace {

constexpr size_t kMaxLine = 255;

const std::string* FindException(const std::string& word) {
  const auto& table = State().exceptions;
  auto it = std::lower_bound(table.begin(), table.end(), word,
                             [](const auto& entry, const std::string& w) { return entry.first < w; });
  if (it == table.end() || it->first != word) return nullptr;
  return &it->second;
}

}  // namespace

std::string ApplyWordException(const std::string& word) {
  std::string stem = word;
  std::string suffix;
  while (!stem.empty()) {
    if (const std::string* found = FindException(stem)) return *found + suffix;
    char last = stem.back();
    if (last != 's' && last != 'm') break;
    suffix.insert(suffix.begin(), last);
    stem.pop_back();
  }
  return word;
}

}  // namespace translator

bool LoadTranslatorExceptions(const std::string& path) {
  using namespace translator;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  auto& table = State().exceptions;
  table.clear();  // a restart reads the file again
  std::string line;
  while (table.size() < kMaxExceptions && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    if (line.empty()) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      table.emplace_back(line, std::string());
      continue;
    }
    size_t bar = line.find('|', eq + 1);
    if (bar == std::string::npos) bar = line.size();
    table.emplace_back(line.substr(0, eq), line.substr(eq + 1, bar - eq - 1));
  }
  // std::string compares bytes as unsigned char, which is the byte order.
  std::stable_sort(table.begin(), table.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return true;
}

void ClearTranslatorExceptions() { translator::State().exceptions.clear(); }

}  // namespace kal
