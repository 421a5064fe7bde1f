// The abbreviations table: keys upper-cased, expansions as written, in file
// order; the first matching key wins.
#include <utility>
#include <vector>

#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/rule_file.h"
#include "4_voices/orvan/text_normaliser.h"

namespace kal::orvan {

namespace {

// Further lines of a longer file are ignored.
constexpr size_t kMaxAbbreviations = 2000;
constexpr size_t kMaxExpansion = 999;

}  // namespace

void ClearAbbreviations(OrvanTables& tables) { tables.abbreviations.clear(); }

bool LoadAbbreviations(OrvanTables& tables, const std::string& path) {
  ClearAbbreviations(tables);
  std::vector<std::string> lines;
  if (!rule_file::ReadLines(path, &lines)) return false;
  for (const std::string& raw : lines) {
    std::string line = Trim(raw);
    if (line.empty() || rule_file::IsComment(line)) continue;
    if (tables.abbreviations.size() >= kMaxAbbreviations) break;
    size_t eq = line.find('=');
    std::string key, expansion;
    if (eq == std::string::npos) {
      expansion = line;
    } else {
      key = UpperLatin1(Trim(line.substr(0, eq)));
      expansion = Trim(line.substr(eq + 1)).substr(0, kMaxExpansion);
    }
    tables.abbreviations.emplace_back(std::move(key), std::move(expansion));
  }
  return true;
}

std::string LookupAbbreviation(const OrvanTables& tables, std::string_view word) {
  std::string key = UpperLatin1(word);
  for (const auto& [k, expansion] : tables.abbreviations) {
    if (k == key) return expansion;
  }
  return "";
}

}  // namespace kal::orvan
