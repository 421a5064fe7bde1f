#include "2_config/config_file_cache.h"

#include "0_base/latin1.h"
#include "1_platform/file_read_reason.h"
#include "1_platform/user_notice.h"
#include "2_config/config_messages.h"

namespace kal {
bool StampSettled(const HostFileStamp& stamp, int64_t settle_ns) {
  return HostFileClockNow() - stamp.changed >= settle_ns;
}

void ConfigFileCache::NoteRead(const std::string& host_path, FileRead result, const HostFileStamp& stamp) {
  if (result == FileRead::kRead || result == FileRead::kMissing) {
    refused_.erase(host_path);
    return;
  }
  auto [it, added] = refused_.try_emplace(host_path, Refusal{result, stamp});
  it->second.stamp = stamp;
  if (!added && it->second.why == result) return;
  it->second.why = result;
  ReadBounds bounds;
  bounds.max_bytes = kMaxConfigFileBytes;
  AnnounceNotice(platform_, L1(std::string(config_msg::kFileNotRead) + host_path + ": " + FileReadReason(result, bounds)));
}

const IniIndex* ConfigFileCache::Keys(const std::string& host_path) {
  ReadBounds bounds;
  bounds.max_bytes = kMaxConfigFileBytes;
  std::string text;
  HostFileStamp stamp;
  if (!StampHostFile(host_path, &stamp)) {
    files_.erase(host_path);
    // Not a plain file (or none): its type tells why, and nothing is opened.
    NoteRead(host_path, ReadHostFileWithin(host_path, bounds, &text), HostFileStamp{});
    return nullptr;
  }
  // A plain file refused as it stands is not read again for every key.
  auto refused = refused_.find(host_path);
  if (refused != refused_.end() && refused->second.stamp == stamp) return nullptr;
  auto it = files_.find(host_path);
  if (it != files_.end() && it->second.stamp == stamp) return &it->second.keys;
  // Read after the stamp was taken: a change in between shows as a new stamp
  // at the next question, so the file is never trusted past a change.
  FileRead result = ReadHostFileWithin(host_path, bounds, &text);
  NoteRead(host_path, result, stamp);
  if (result != FileRead::kRead) {
    files_.erase(host_path);
    return nullptr;
  }
  Entry& entry = files_[host_path];
  entry.keys = IniIndex(text);
  entry.stamp = StampSettled(stamp) ? stamp : HostFileStamp{};  // an empty stamp matches no file
  return &entry.keys;
}

}  // namespace kal
