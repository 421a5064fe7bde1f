#include "8_interpreter/title_pattern.h"

#include <string>

#include "5_speech/speech.h"

namespace kal {

bool TitleMatches(std::string_view title, std::string_view pattern) {
  bool begins = !pattern.empty() && pattern.front() == '*';
  if (begins) pattern.remove_prefix(1);
  bool ends = !pattern.empty() && pattern.back() == '*';
  if (ends) pattern.remove_suffix(1);
  std::string t = UpperCaseText(title.substr(0, kTitleCompareLength));
  std::string p = UpperCaseText(pattern);
  if (!begins && !ends) return t.find(p) != std::string::npos;
  if (p.size() > t.size()) return false;
  if (begins && t.compare(0, p.size(), p) != 0) return false;
  if (ends && t.compare(t.size() - p.size(), p.size(), p) != 0) return false;
  return true;
}

}  // namespace kal
