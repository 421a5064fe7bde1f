#include "6_console/small_terminal.h"

#include "1_platform/host.h"

namespace kal {
namespace {

constexpr const char* kToldVariable = "KALDORIN_SMALL_TERMINAL_TOLD";

}  // namespace

std::vector<std::string> WrapText(std::string_view text, int columns) {
  std::vector<std::string> lines;
  if (columns <= 0) {
    lines.emplace_back(text);
    return lines;
  }
  size_t width = static_cast<size_t>(columns);
  while (text.size() > width) {
    size_t cut = text.rfind(' ', width);
    size_t next = cut + 1;
    if (cut == std::string_view::npos || cut == 0) cut = next = width;
    lines.emplace_back(text.substr(0, cut));
    text.remove_prefix(next);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
  if (!text.empty() || lines.empty()) lines.emplace_back(text);
  return lines;
}

bool SmallTerminalToldBefore(const std::string& terminal) {
  // The mark is never empty, so that a terminal without a name is marked too.
  std::string mark = "tty:" + terminal;
  if (GetEnvironment(kToldVariable) == mark) return true;
  SetEnvironment(kToldVariable, mark);
  return false;
}

}  // namespace kal
