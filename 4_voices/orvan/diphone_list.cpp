// The diphone list: the pairs of phonemes the speech database can
// synthesise, kept lower-cased and sorted for case-insensitive search.
#include <algorithm>
#include <cstring>

#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/rule_file.h"
#include "4_voices/orvan/prosody.h"

namespace kal::orvan {

namespace {

bool IsNameChar(char c) {
  return c == '2' || c == '@' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// First two runs of name characters, joined by "-".
std::string EntryOf(const std::string& line) {
  size_t i = 0;
  std::string names[2];
  for (std::string& name : names) {
    while (i < line.size() && !IsNameChar(line[i])) ++i;
    while (i < line.size() && IsNameChar(line[i])) name += line[i++];
  }
  return LowerLatin1(names[0] + "-" + names[1]);
}

}  // namespace

void ReleaseDiphoneList(OrvanTables& tables) {
  tables.diphones.clear();
  tables.diphones.shrink_to_fit();
}

bool LoadDiphoneList(OrvanTables& tables, const std::string& path) {
  ReleaseDiphoneList(tables);
  std::vector<std::string>& list = tables.diphones;
  std::vector<std::string> lines;
  if (!rule_file::ReadLines(path, &lines)) return false;
  for (const std::string& raw : lines) {
    std::string line = Trim(raw);
    if (line.empty() || std::strchr("!*;", line[0]) != nullptr) continue;
    list.push_back(EntryOf(line));
  }
  std::sort(list.begin(), list.end());
  return true;
}

bool HasDiphone(const OrvanTables& tables, const std::string& first, const std::string& second) {
  return std::binary_search(tables.diphones.begin(), tables.diphones.end(), LowerLatin1(first + "-" + second));
}

}  // namespace kal::orvan
