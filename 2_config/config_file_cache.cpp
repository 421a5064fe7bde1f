#include "2_config/config_file_cache.h"

namespace kal {
namespace {

// A file changed less than this before it was read may change again
// without its stamp showing it (file times move in clock ticks, and a
// rewrite in place keeps the size and identity): its keys are read again at
// the next question instead of being kept.
constexpr int64_t kSettledNs = 2'000'000'000;

}  // namespace

const IniIndex* ConfigFileCache::Keys(const std::string& host_path, size_t max_size) {
  HostFileStamp stamp;
  if (!StampHostFile(host_path, &stamp)) {
    files_.erase(host_path);
    return nullptr;
  }
  auto it = files_.find(host_path);
  if (it != files_.end() && it->second.stamp == stamp) return &it->second.keys;
  // Read after the stamp was taken: a change in between shows as a new stamp
  // at the next question, so the file is never trusted past a change.
  std::string text;
  if (!ReadHostFile(host_path, &text, max_size)) {
    files_.erase(host_path);
    return nullptr;
  }
  Entry& entry = files_[host_path];
  entry.keys = IniIndex(text);
  bool settled = HostFileClockNow() - stamp.changed >= kSettledNs;
  entry.stamp = settled ? stamp : HostFileStamp{};  // an empty stamp matches no file
  return &entry.keys;
}

}  // namespace kal
