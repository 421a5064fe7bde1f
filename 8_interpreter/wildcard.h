// Matching file names against Windows wildcard masks.
#pragma once

#include <string_view>

namespace kal {

// '*' matches any run of characters, '?' any one; letters compare without
// regard to case (Latin-1 upper-casing). The mask "*.*" matches every name,
// with or without a dot, as it does on Windows.
bool WildcardMatch(std::string_view mask, std::string_view name);

}  // namespace kal
