// A lock between processes around the read-modify-write of a shared file.
//
// Talven.ini is shared by every program of the family, and each update reads
// the whole file, changes one key and replaces the file. Two programs doing
// that at once would each write back the file as it stood before the other's
// change, and one change would be lost. Holding this lock from the read to
// the replacement serialises the updates.
//
// The file itself is replaced by a rename, so a lock held on it would stay
// with the old copy; the lock is therefore taken on the folder that holds the
// file (after following a symbolic link to it), which leaves nothing behind
// on disk. Only updaters that take this lock are held back; plain readers
// are not, since the replacement is atomic.
#pragma once

#include <string>

namespace kal {

class HostFileLock {
 public:
  // Waits at most this long for another program to release the lock; longer
  // means the other program is stuck, and the update is given up.
  static constexpr int kDefaultTimeoutMs = 5000;

  // Takes the lock for the file at host_path (it need not exist yet; its
  // folder must). held() tells whether it was obtained.
  explicit HostFileLock(const std::string& host_path, int timeout_ms = kDefaultTimeoutMs);
  ~HostFileLock();
  HostFileLock(const HostFileLock&) = delete;
  HostFileLock& operator=(const HostFileLock&) = delete;

  bool held() const { return handle_ >= 0; }
  // Not held because another program holds it (as opposed to a lock that
  // cannot be taken at all, for a folder that does not exist, say).
  bool busy() const { return busy_; }

 private:
  int handle_ = -1;  // the back end's handle of the locked object
  bool busy_ = false;
};

}  // namespace kal
