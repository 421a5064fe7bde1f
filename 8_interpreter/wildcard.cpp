// Wildcard matching with one backtracking point: after a '*' fails further
// on, the match retries one character later. Linear in practice, quadratic
// at worst, never exponential.
#include "8_interpreter/wildcard.h"

#include <string>

#include "1_platform/paths.h"

namespace kal {

bool WildcardMatch(std::string_view mask_in, std::string_view name_in) {
  if (mask_in == "*.*") mask_in = "*";
  std::string mask = FoldFileName(mask_in), name = FoldFileName(name_in);
  size_t m = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++m, ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace kal
