// The keys of Talven.ini as last read, per file, read again only when the
// file's stamp (identity, size, change time) differs: a run asks for dozens
// of settings before it says its first word, and another program of the
// family may change the file at any moment.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "0_base/ini_file.h"
#include "1_platform/paths.h"

namespace kal {

// A configuration file is a few kilobytes; a larger one than this is not
// read (its keys read as absent) and never rewritten.
inline constexpr size_t kMaxConfigFileBytes = 16u << 20;

// A file or folder changed less than this before it was looked at may
// change again without its stamp showing it (file times move in clock
// ticks, and a rewrite in place keeps the size and identity): what was read
// from it is read again at the next question instead of being kept.
inline constexpr int64_t kSettledStampNs = 2'000'000'000;

// Whether the stamp, taken now, is old enough to be trusted to show the
// next change.
bool StampSettled(const HostFileStamp& stamp, int64_t settle_ns = kSettledStampNs);

struct Platform;

class ConfigFileCache {
 public:
  // A refusal is told through that platform state's notice writer.
  explicit ConfigFileCache(Platform& platform) : platform_(platform) {}

  // The file's keys; nullptr when it is missing, cannot be read, is not a
  // plain file or is larger than kMaxConfigFileBytes. A file refused for
  // any reason but its absence is told to the user (AnnounceNotice), once
  // for as long as it stays refused for that reason.
  const IniIndex* Keys(const std::string& host_path);

 private:
  struct Entry {
    HostFileStamp stamp;
    IniIndex keys;
  };
  struct Refusal {
    FileRead why = FileRead::kRead;
    HostFileStamp stamp;  // of the refused plain file (too large, unreadable)
  };
  // Tells a refusal the first time it is met.
  void NoteRead(const std::string& host_path, FileRead result, const HostFileStamp& stamp);

  std::map<std::string, Entry> files_;
  Platform& platform_;
  std::map<std::string, Refusal> refused_;  // the refusal last told, per file
};

}  // namespace kal
