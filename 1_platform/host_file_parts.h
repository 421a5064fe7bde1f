// The parts of the host file calls (paths.h) that both hosts' back ends
// (linux/host_files.cpp, win32/host_files.cpp) do alike: how an entry of a
// folder listing is named and ordered, and the bounded read of a whole file.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "1_platform/paths.h"

namespace kal {

// An entry for an on-disk name (UTF-8): its Latin-1 name, hidden when it
// begins with '.'. "." and ".." are the caller's to leave out.
FolderEntry EntryNamed(const std::string& utf8_name);

// The entries, each given with its on-disk name, sorted by those names.
std::vector<FolderEntry> SortedByName(std::vector<std::pair<std::string, FolderEntry>> found);

// Counts the lines of text given in pieces: every LF ends one, and bytes
// after the last LF make one more.
class LineCounter {
 public:
  // The lines so far, the piece included.
  size_t Add(std::string_view piece) {
    ended_ += static_cast<size_t>(std::count(piece.begin(), piece.end(), '\n'));
    if (!piece.empty()) open_ = piece.back() != '\n';
    return ended_ + (open_ ? 1 : 0);
  }

 private:
  size_t ended_ = 0;
  bool open_ = false;
};

// Reads a whole file in pieces with read(buf, size), which returns the bytes
// it read, 0 at the end and a negative number on failure, and stops at the
// first piece that passes a bound. On anything but kRead, contents is empty.
template <typename ReadFn>
FileRead ReadWhole(ReadFn read, const ReadBounds& bounds, std::string* contents) {
  contents->clear();
  LineCounter lines;
  char buf[65536];
  FileRead result = FileRead::kRead;
  for (;;) {
    long n = read(buf, sizeof buf);
    if (n == 0) return FileRead::kRead;
    if (n < 0) {
      result = FileRead::kUnreadable;
      break;
    }
    size_t got = static_cast<size_t>(n);
    if (got > bounds.max_bytes - contents->size()) {
      result = FileRead::kTooLarge;
      break;
    }
    if (lines.Add(std::string_view(buf, got)) > bounds.max_lines) {
      result = FileRead::kTooManyLines;
      break;
    }
    contents->append(buf, got);
  }
  contents->clear();
  return result;
}

}  // namespace kal
