#include "2_config/config_update.h"
#include "2_config/config_messages.h"
#include "2_config/config_file_cache.h"

#include <cstdio>

#include "0_base/ini_file.h"
#include "0_base/latin1.h"
#include "1_platform/file_lock.h"
#include "1_platform/paths.h"
#include "1_platform/pump.h"
#include "1_platform/user_notice.h"

namespace kal {
namespace {

constexpr int kQuietWaitMs = 1000;   // a wait this short is not told
constexpr int kLockWaitMs = 5000;    // then the update is given up

// Applies every "KEY=value" line of the INI text `updates` (in its sections)
// to *text. The updates were written by IniSet, so their lines are plain.
bool ApplyUpdates(std::string_view updates, std::string* text) {
  std::string section;
  while (!updates.empty()) {
    size_t nl = updates.find('\n');
    std::string_view line = updates.substr(0, nl);
    updates.remove_prefix(nl == std::string_view::npos ? updates.size() : nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = std::string(line.substr(1, line.size() - 2));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!IniSet(text, section, line.substr(0, eq), line.substr(eq + 1))) return false;
  }
  return true;
}

}  // namespace

// The lock for one update. A lock that cannot be taken at all (no folder)
// is not waited for; once a wait has been given up, only tried. The wait is
// in real time (the other program keeps the lock in real time), in the
// lock's own short tries, so that it is not starved by other updaters.
std::unique_ptr<HostFileLock> ConfigUpdates::TakeLock(const std::string& host_path) {
  if (lock_given_up_) return std::make_unique<HostFileLock>(host_path, 0);
  auto lock = std::make_unique<HostFileLock>(host_path, kQuietWaitMs);
  if (lock->held() || !lock->busy()) return lock;
  if (platform_) {
    AnnounceNotice(*platform_, L1(config_msg::kWaitingForFile));
    RunPostedTasks(*platform_);  // the notice's speech was posted: it begins now
  } else {
    std::fprintf(stderr, "%s\n", L1(config_msg::kWaitingForFile).c_str());
  }
  lock = std::make_unique<HostFileLock>(host_path, kLockWaitMs - kQuietWaitMs);
  if (!lock->held() && lock->busy()) lock_given_up_ = true;
  return lock;
}

// Under the lock: the file's text with the updates kept in memory and this
// one, written back when it changed.
bool ConfigUpdates::WriteLocked(const std::string& host_path, std::string_view section, std::string_view key,
                                std::string_view value) {
  std::string text;
  // A file that is there but cannot be read must not be replaced by one
  // holding only these keys.
  if (!ReadHostFile(host_path, &text, kMaxConfigFileBytes) && HostExists(host_path)) return false;
  std::string updated = text;
  auto pending = unwritten_.find(host_path);
  if (pending != unwritten_.end() && !ApplyUpdates(pending->second, &updated)) return false;
  if (!IniSet(&updated, section, key, value)) return false;
  if (updated == text && HostExists(host_path)) return true;
  return ReplaceHostFile(host_path, updated, nullptr);
}

bool ConfigUpdates::Write(const std::string& host_path, std::string_view section, std::string_view key,
                          std::string_view value) {
  auto lock = TakeLock(host_path);
  if (!lock->held()) {
    IniSet(&unwritten_[host_path], section, key, value);
    return false;
  }
  if (!WriteLocked(host_path, section, key, value)) return false;
  unwritten_.erase(host_path);
  return true;
}

bool ConfigUpdates::Lookup(const std::string& host_path, std::string_view section, std::string_view key,
                           std::string* value) const {
  auto pending = unwritten_.find(host_path);
  return pending != unwritten_.end() && IniLookup(pending->second, section, key, value);
}

}  // namespace kal
