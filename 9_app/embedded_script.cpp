#include "9_app/embedded_script.h"

#include "0_base/latin1.h"

namespace kal {

namespace {

const char kScriptText[] =
#include "zelquora_script.inc"
    ;

// A script string literal holding text: quote marks inside are doubled.
std::string QuoteLiteral(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

// Replaces the first string literal of the line with the given text.
void ReplaceLiteral(std::string* line, std::string_view text) {
  size_t open = line->find('"');
  size_t close = open == std::string::npos ? open : line->find('"', open + 1);
  if (close == std::string::npos) return;
  line->replace(open, close - open + 1, QuoteLiteral(text));
}

}  // namespace

std::vector<std::string> EmbeddedScriptLines(std::string_view search_address,
                                             std::string_view station_prefix) {
  std::vector<std::string> lines;
  std::string text = Utf8ToLatin1(kScriptText);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  if (!search_address.empty()) ReplaceLiteral(&lines[kSearchAddressLine - 1], search_address);
  if (!station_prefix.empty()) ReplaceLiteral(&lines[kStationPageLine - 1], station_prefix);
  return lines;
}

}  // namespace kal
