#include "1_platform/headless_base.h"

#include "0_base/latin1.h"

namespace kal {

std::string HeadlessText(std::string_view bytes) {
  std::string s;
  for (unsigned char c : bytes) {
    if (c == '\r' || c == 7) continue;
    if (c == 8 || c == '\n') {
      s += static_cast<char>(c);
      continue;
    }
    s += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
  }
  return s;
}

}  // namespace kal
