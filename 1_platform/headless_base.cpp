#include "1_platform/headless_base.h"

#include "0_base/latin1.h"
#include "0_base/visible_text.h"

namespace kal {

std::string HeadlessText(std::string_view bytes) {
  std::string kept;
  kept.reserve(bytes.size());
  for (char c : bytes)
    if (c != '\r' && c != '\a') kept += c;
  // The console's own line ends and backspaces (a typed character erased)
  // and tabs pass; every other control character is shown, not obeyed.
  return VisibleText(Latin1ToUtf8(kept), "\n\b\t");
}

}  // namespace kal
