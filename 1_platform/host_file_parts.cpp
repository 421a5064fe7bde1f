#include "1_platform/host_file_parts.h"

#include <algorithm>

#include "0_base/latin1.h"

namespace kal {

FolderEntry EntryNamed(const std::string& utf8_name) {
  FolderEntry entry;
  entry.name = Utf8ToLatin1(utf8_name);
  entry.is_hidden = !utf8_name.empty() && utf8_name[0] == '.';
  return entry;
}

std::vector<FolderEntry> SortedByName(std::vector<std::pair<std::string, FolderEntry>> found) {
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<FolderEntry> entries;
  for (auto& f : found) entries.push_back(std::move(f.second));
  return entries;
}

}  // namespace kal

namespace kal {

bool ReadHostFile(const std::string& host_path, std::string* contents, size_t limit) {
  ReadBounds bounds;
  bounds.max_bytes = limit;
  return ReadHostFileWithin(host_path, bounds, contents) == FileRead::kRead;
}

}  // namespace kal
