// Reading the voices' rule files.
#include "4_voices/rule_file.h"

#include <fstream>

#include "1_platform/host_file.h"

namespace kal::rule_file {

namespace {

// The text between position `from` and the next '|' (or the line end).
std::string_view UpToComment(std::string_view line, size_t from) {
  size_t bar = line.find('|', from);
  return line.substr(from, bar == std::string_view::npos ? std::string_view::npos : bar - from);
}

}  // namespace

bool ReadLines(const std::string& path, std::vector<std::string>* lines) {
  std::ifstream in(HostFsPath(path), std::ios::binary);
  if (!in) return false;
  lines->clear();
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(line);
  }
  return true;
}

bool ParseContextRule(std::string_view line, size_t max_context, size_t max_output, ContextRule* rule) {
  if (IsComment(line)) return false;
  size_t open = line.find('(');
  if (open == std::string_view::npos) return false;
  size_t close = line.find(')', open + 1);
  if (close == std::string_view::npos) return false;
  size_t eq = line.find('=', close + 1);
  if (eq == std::string_view::npos) return false;
  rule->left = std::string(line.substr(0, open).substr(0, max_context));
  rule->focus = std::string(line.substr(open + 1, close - open - 1).substr(0, max_context));
  rule->right = std::string(line.substr(close + 1, eq - close - 1).substr(0, max_context));
  rule->output = std::string(UpToComment(line, eq + 1).substr(0, max_output));
  return !rule->focus.empty();
}

WordEntry ParseWordEntry(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {std::string(line), std::string()};
  return {std::string(line.substr(0, eq)), std::string(UpToComment(line, eq + 1))};
}

}  // namespace kal::rule_file
