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

constexpr long kGraceNs = 500L * 1000 * 1000;  // to end politely, as EndProgramsWithUs allows
// The processes of the watched groups that the guard tells apart one by one
// when it ends them; more are still asked to end with their group.
constexpr int kMaxMembers = 2048;

// A process seen in a watched group as the guard began to end them: its
// id, its group, its start time (which tells it from a later process given
// the same id) and, where the kernel has them, a descriptor that names this
// very process (a pidfd) and can never reach another.
struct Member {
  int pid;
  int group;
  unsigned long long start;
  int pidfd;
};

int OpenPidfd(int pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// 0 when the signal was sent to the process the pidfd names; -1 when it is
// gone (or the kernel has no such call).
int SignalPidfd(int pidfd, int sig) {
#ifdef SYS_pidfd_send_signal
  return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, sig, nullptr, 0));
#else
  (void)pidfd, (void)sig;
  return -1;
#endif
}

// A decimal number at *p, moving past it; -1 when there is none.
long long TakeNumber(const char** p, const char* end) {
  long long n = -1;
  for (; *p < end && **p >= '0' && **p <= '9'; ++*p) n = (n < 0 ? 0 : n * 10) + (**p - '0');
  return n;
}

// The group and start time of a process from /proc/PID/stat, read with
// system calls alone. False when the process is gone.
bool ReadStat(int pid, int* group, unsigned long long* start) {
  char path[32] = "/proc/";
  char digits[12];
  int n = 0;
  for (int v = pid; v > 0 && n < 11; v /= 10) digits[n++] = static_cast<char>('0' + v % 10);
  int at = 6;
  while (n > 0) path[at++] = digits[--n];
  const char tail[] = "/stat";
  for (const char* t = tail; *t; ++t) path[at++] = *t;
  path[at] = 0;
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buf[1024];
  ssize_t got = read(fd, buf, sizeof buf);
  close(fd);
  if (got <= 0) return false;
  // After the command name in parentheses (the last ')'), fields 3 on:
  // state, parent, group, ..., and the start time is field 22.
  const char* end = buf + got;
  const char* p = end;
  while (p > buf && p[-1] != ')') --p;
  if (p == buf) return false;
  for (int field = 3; field < 22; ++field) {
    while (p < end && *p == ' ') ++p;
    if (field == 5) *group = static_cast<int>(TakeNumber(&p, end));
    while (p < end && *p != ' ') ++p;
  }
  while (p < end && *p == ' ') ++p;
  long long s = TakeNumber(&p, end);
  *start = s < 0 ? 0 : static_cast<unsigned long long>(s);
  return s >= 0;
}

bool Watched(const int* groups, int n, int group) {
  for (int i = 0; i < n; ++i)
    if (groups[i] == group) return true;
  return false;
}

// Lists the processes of the watched groups from /proc (getdents64, since
// opendir may allocate).
int SnapshotMembers(const int* groups, int n, Member* members) {
  int count = 0;
  int dir = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return 0;
  alignas(8) char buf[4096];
  long got;
  while (count < kMaxMembers && (got = syscall(SYS_getdents64, dir, buf, sizeof buf)) > 0) {
    for (long off = 0; off < got && count < kMaxMembers;) {
      // struct linux_dirent64: inode (8), offset (8), record length (2), type (1), name.
      unsigned short length;
      __builtin_memcpy(&length, buf + off + 16, sizeof length);
      const char* name = buf + off + 19;
      off += length;
      const char* p = name;
      long long pid = TakeNumber(&p, name + 12);
      int group = 0;
      unsigned long long start = 0;
      if (pid <= 0 || *p != 0 || !ReadStat(static_cast<int>(pid), &group, &start)) continue;
      if (!Watched(groups, n, group)) continue;
      members[count++] = {static_cast<int>(pid), group, start, OpenPidfd(static_cast<int>(pid))};
    }
  }
  close(dir);
  return count;
}

// The member is the very process seen before, and still in its group: then
// the group's id cannot have been given to another group.
bool StillInGroup(const Member& m) {
  if (m.pidfd >= 0 && SignalPidfd(m.pidfd, 0) != 0) return false;
  int group = 0;
  unsigned long long start = 0;
  if (!ReadStat(m.pid, &group, &start) || group != m.group || start != m.start) return false;
  // Read above, alive after: the stat was this process's own.
  return m.pidfd < 0 || SignalPidfd(m.pidfd, 0) == 0;
}

void SignalGroups(const int* groups, int n, int sig) {
  for (int i = 0; i < n; ++i) {
    kill(-groups[i], sig);
    kill(-groups[i], SIGCONT);
  }
}

// After the grace: a group is ended by force only while one of the
// processes seen in it still holds it; a group that emptied may already
// name another's. The processes seen are ended each by its pidfd too, so
// one that left its group meanwhile still ends; without pidfds, only the
// group is ended.
void KillOwned(const int* groups, int n, const Member* members, int count) {
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < count; ++j) {
      if (members[j].group != groups[i] || !StillInGroup(members[j])) continue;
      kill(-groups[i], SIGKILL);
      break;
    }
  }
  for (int j = 0; j < count; ++j)
    if (members[j].pidfd >= 0) SignalPidfd(members[j].pidfd, SIGKILL);
}

// Only in the guard: keeps the list from the messages (a leader to watch,
// or its negation to forget) until the pipe ends, then ends the groups.
// The parent never sends more than kMaxGuardedGroups (ChildGroups refuses
// a start beyond them).
[[noreturn]] void RunGuard(int in) {
  int groups[kMaxGuardedGroups];
  int n = 0, message = 0;
  ssize_t got;
  while ((got = read(in, &message, sizeof message)) == sizeof message || (got < 0 && errno == EINTR)) {
    if (got < 0) continue;
    if (message > 0 && n < kMaxGuardedGroups) groups[n++] = message;
    for (int i = 0; message < 0 && i < n; ++i) {
      if (groups[i] != -message) continue;
      groups[i] = groups[--n];
      break;
    }
  }
  if (n > 0) {
    Member members[kMaxMembers];  // 48 KB of the guard's stack
    int count = SnapshotMembers(groups, n, members);
    SignalGroups(groups, n, SIGTERM);
    timespec grace{0, kGraceNs};
    nanosleep(&grace, nullptr);
    KillOwned(groups, n, members, count);
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
