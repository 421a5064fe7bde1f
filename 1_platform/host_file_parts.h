// The parts of the host file calls (paths.h) that both hosts' back ends
// (linux/host_files.cpp, win32/host_files.cpp) do alike: how an entry of a
// folder listing is named and ordered, and the bounded read of a whole file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "1_platform/paths.h"

namespace kal {

// An entry for an on-disk name (UTF-8): its Latin-1 name, hidden when it
// begins with '.'. "." and ".." are the caller's to leave out.
FolderEntry EntryNamed(const std::string& utf8_name);

// The entries, each given with its on-disk name, sorted by those names.
std::vector<FolderEntry> SortedByName(std::vector<std::pair<std::string, FolderEntry>> found);

// Reads a whole file in pieces with read(buf, size), which returns the bytes
// it read, 0 at the end and a negative number on failure. False, with
// contents emptied, on failure and when more than limit bytes come.
template <typename ReadFn>
bool ReadWhole(ReadFn read, std::string* contents, size_t limit) {
  contents->clear();
  char buf[65536];
  for (;;) {
    long n = read(buf, sizeof buf);
    if (n == 0) return true;
    if (n < 0 || contents->size() + static_cast<size_t>(n) > limit) break;
    contents->append(buf, static_cast<size_t>(n));
  }
  contents->clear();
  return false;
}

}  // namespace kal
