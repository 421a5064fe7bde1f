// Updates of Talven.ini under the lock shared with the family's other
// programs (1_platform/file_lock.h), and what happens when the lock cannot be
// had.
//
// Another program may hold the lock for a moment while it updates the file;
// the update then waits. A program that keeps the lock (stuck, or stopped in
// a debugger) costs one wait, not one per key: the user is told after a
// second that the program is waiting for the configuration file, the wait
// ends after five seconds, and from then on updates only try the lock. An
// update that cannot be made is kept in memory, read back by this program in
// place of the file's value, and written with the next update that gets the
// lock, so that nothing set during the wait is lost.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

class HostFileLock;
struct Platform;

class ConfigUpdates {
 public:
  // A wait for the lock is told through that platform state's notice writer
  // and its speech begins in its loop; with none (an update made outside a
  // run) the notice goes to standard error.
  explicit ConfigUpdates(Platform* platform) : platform_(platform) {}

  // Sets section/key to value in the file at host_path (created when
  // missing), keeping every other line. False when the file could not be
  // written; when that was for want of the lock, the value is kept in
  // memory.
  bool Write(const std::string& host_path, std::string_view section, std::string_view key,
             std::string_view value);

  // The value of a key whose update is still in memory; false when none is.
  bool Lookup(const std::string& host_path, std::string_view section, std::string_view key,
              std::string* value) const;

  // Whether a wait for the lock has ended without it.
  bool lock_given_up() const { return lock_given_up_; }

 private:
  std::unique_ptr<HostFileLock> TakeLock(const std::string& host_path);
  bool WriteLocked(const std::string& host_path, std::string_view section, std::string_view key,
                   std::string_view value);

  Platform* platform_;
  bool lock_given_up_ = false;
  // Per file: the updates not yet written, as the text of an INI file.
  std::map<std::string, std::string> unwritten_;
};

}  // namespace kal
