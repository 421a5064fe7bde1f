// The parts of the path mapping that do not depend on the host (paths.h,
// path_parts.h).
#include "1_platform/paths.h"

#include <algorithm>

#include "0_base/latin1.h"
#include "1_platform/path_parts.h"

namespace kal {

std::string FoldFileName(std::string_view latin1) {
  std::string out(latin1);
  for (char& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) ch = static_cast<char>(c - 0x20);
  }
  return out;
}

std::string DrivePathText(char letter, std::string rest) {
  std::string out;
  out += static_cast<char>(letter & ~0x20);
  out += ":\\";
  std::replace(rest.begin(), rest.end(), '/', '\\');
  while (!rest.empty() && rest.back() == '\\') rest.pop_back();
  return out + Utf8ToLatin1(rest);
}

}  // namespace kal
