// The pieces of script paths that both hosts' path mapping (linux/paths.cpp,
// win32/paths.cpp) read the same way: separators, drive letters, the walk
// over a name's components, and how a path on a drive is shown to scripts.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// "\" and "/" both separate the components of a script's path.
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

inline bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Calls visit with each component of rest in turn, ".." included; empty
// components and "." are passed over.
template <typename Visit>
void ForEachComponent(std::string_view rest, Visit visit) {
  size_t i = 0;
  while (i < rest.size()) {
    size_t j = i;
    while (j < rest.size() && !IsPathSeparator(rest[j])) ++j;
    std::string_view comp = rest.substr(i, j - i);
    i = j + 1;
    if (comp.empty() || comp == ".") continue;
    visit(comp);
  }
}

// How a script is shown a host path on drive `letter` (the drive folder's
// own name) with `rest` (UTF-8) below it: "X:\a\b" in Latin-1, without a
// trailing separator.
std::string DrivePathText(char letter, std::string rest);

}  // namespace kal
