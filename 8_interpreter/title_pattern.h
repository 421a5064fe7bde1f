// JANELA's title patterns.
//
// The star marks the anchored side: "*Bloco" asks for a title that begins
// with "Bloco", "notas*" for one that ends with "notas", and a pattern
// without stars may occur anywhere. Stars on both sides ask for both. Case
// is ignored (both sides upper-cased by the interpreter's rule), and only
// the first 143 characters of a title count.
#pragma once

#include <string_view>

namespace kal {

inline constexpr size_t kTitleCompareLength = 143;

bool TitleMatches(std::string_view title, std::string_view pattern);

}  // namespace kal
