#include "1_platform/linux/group_guard.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace kal {
namespace {

constexpr int kMaxGroups = 1024;
constexpr long kGraceNs = 500L * 1000 * 1000;  // to end politely, as EndProgramsWithUs allows

void SignalGroups(const int* groups, int n, int sig) {
  for (int i = 0; i < n; ++i) {
    kill(-groups[i], sig);
    kill(-groups[i], SIGCONT);
  }
}

// Only in the guard: keeps the list from the messages (a leader to watch,
// or its negation to forget) until the pipe ends, then ends the groups.
[[noreturn]] void RunGuard(int in) {
  int groups[kMaxGroups];
  int n = 0, message = 0;
  ssize_t got;
  while ((got = read(in, &message, sizeof message)) == sizeof message || (got < 0 && errno == EINTR)) {
    if (got < 0) continue;
    if (message > 0 && n < kMaxGroups) groups[n++] = message;
    for (int i = 0; message < 0 && i < n; ++i) {
      if (groups[i] != -message) continue;
      groups[i] = groups[--n];
      break;
    }
  }
  if (n > 0) {
    SignalGroups(groups, n, SIGTERM);
    timespec grace{0, kGraceNs};
    nanosleep(&grace, nullptr);
    SignalGroups(groups, n, SIGKILL);
  }
  _exit(0);
}

// Only in the guard: leaves the terminal's session and signals, and keeps
// no file of ours open but the pipe (on standard input).
[[noreturn]] void BecomeGuard(int in) {
  setsid();
  dup2(in, 0);
  int null = open("/dev/null", O_RDWR);
  if (null >= 0) dup2(null, 1), dup2(null, 2);
  syscall(SYS_close_range, 3u, ~0u, 0u);
  RunGuard(0);
}

}  // namespace

GroupGuard::~GroupGuard() {
  if (fd_ >= 0 && owner_ == getpid()) close(fd_);
}

bool GroupGuard::Started() {
  if (fd_ >= 0 && owner_ == getpid()) return true;
  fd_ = -1;  // a copy inherited through a fork belongs to the parent's guard
  int p[2];
  if (pipe2(p, O_CLOEXEC) != 0) return false;
  sigset_t all, old;
  sigfillset(&all);
  sigprocmask(SIG_SETMASK, &all, &old);  // the guard keeps every signal blocked
  // Forked twice, so that the guard is no child of ours: it never shows
  // among the programs we started, and never waits to be reaped.
  pid_t pid = fork();
  if (pid == 0) {
    close(p[1]);
    if (_Fork() == 0) BecomeGuard(p[0]);  // no fork handlers: they may take locks
    _exit(0);
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  close(p[0]);
  if (pid < 0) {
    close(p[1]);
    return false;
  }
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  fd_ = p[1];
  owner_ = getpid();
  return true;
}

void GroupGuard::Send(int message) {
  ssize_t n;
  do {
    n = write(fd_, &message, sizeof message);
  } while (n < 0 && errno == EINTR);
}

void GroupGuard::Watch(int leader) {
  if (leader > 0 && Started()) Send(leader);
}

void GroupGuard::Forget(int leader) {
  if (leader > 0 && fd_ >= 0 && owner_ == getpid()) Send(-leader);
}

}  // namespace kal
