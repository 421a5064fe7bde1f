// HostFileLock on Linux: flock() on the folder of the file. Waiting is done
// in short non-blocking tries, so that a stuck holder costs a bounded wait
// instead of a hang.
#include "1_platform/file_lock.h"

#include <errno.h>
#include <stdint.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

namespace kal {
namespace {

constexpr int kRetryMs = 2;

// The folder of the file a write really goes to (a symbolic link followed).
std::string LockedFolder(const std::string& host_path) {
  char real[PATH_MAX];
  std::string target = realpath(host_path.c_str(), real) ? std::string(real) : host_path;
  size_t slash = target.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : target.substr(0, slash);
}

int64_t NowMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(int ms) {
  struct timespec ts = {0, ms * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

bool TryLock(int fd) {
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

HostFileLock::HostFileLock(const std::string& host_path, int timeout_ms) {
  int fd = open(LockedFolder(host_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // A deadline, not a count of sleeps: on a busy machine each sleep lasts
  // longer than asked, and the wait must still end when it was promised to.
  int64_t deadline = NowMs() + (timeout_ms < 0 ? 0 : timeout_ms);
  for (;;) {
    if (TryLock(fd)) {
      handle_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK) break;
    if (NowMs() >= deadline) {
      busy_ = true;
      break;
    }
    SleepMs(kRetryMs);
  }
  close(fd);
}

HostFileLock::~HostFileLock() {
  if (handle_ < 0) return;
  flock(handle_, LOCK_UN);
  close(handle_);
}

}  // namespace kal
