// What the file commands keep between commands: the binary file, the byte
// buffer and the directory search. The interpreter holds one; the binary
// file is closed when it goes.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace kal {

constexpr size_t kByteBufferCapacity = 0x8000002;

struct SearchEntry {
  std::string name;  // Latin-1, no path
  bool is_folder = false;
};

struct DirectorySearch {
  bool open = false;
  bool folders = false;             // the directory filter; otherwise files
  std::vector<SearchEntry> matches;  // every entry the pattern matched
  size_t next = 0;                   // where the next-entry step goes on
};

struct FileState {
  FileState() = default;
  FileState(const FileState&) = delete;
  FileState& operator=(const FileState&) = delete;
  ~FileState() {
    if (binary) std::fclose(binary);
  }

  std::FILE* binary = nullptr;  // the binary file, when one is open
  std::string bytes;            // the byte buffer, its size the fill count
  DirectorySearch search;
};

}  // namespace kal
