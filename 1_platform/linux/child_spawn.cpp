// fork and exec for the program starter. The child runs only
// async-signal-safe calls between fork and exec, since speech and audio
// threads may hold locks in this process at the moment of the fork.
//
// A child that must end with us asks the kernel for a signal when its parent
// dies (PR_SET_PDEATHSIG): that holds even when we are killed with SIGKILL,
// where no clean-up of ours could run.
#include "1_platform/linux/child_spawn.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace kal {
namespace {

// Only in the child: puts fd on the standard stream n, keeping it across exec.
void PlaceStream(int fd, int n) {
  if (fd == n) {
    fcntl(fd, F_SETFD, 0);
  } else {
    dup2(fd, n);
  }
}

// Only in the child: everything from the fork to the exec. Returns only when
// something failed, with errno set.
void RunChild(const ChildSetup& s, pid_t parent, char* const* argv) {
  if (s.end_with_us) {
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0) return;
    if (getppid() != parent) _exit(127);  // the parent died before the request
  }
  if (s.own_group && setpgid(0, 0) != 0) return;
  // Signals are blocked here, so the background group may take the terminal
  // without being stopped by SIGTTOU.
  if (s.take_terminal) tcsetpgrp(STDIN_FILENO, getpid());
  if (s.null_streams) {
    int in = open("/dev/null", O_RDONLY), out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0) return;
    dup2(in, 0), dup2(out, 1), dup2(out, 2);
  } else {
    for (int n = 0; n < 3; ++n)
      if (s.fds[n] >= 0) PlaceStream(s.fds[n], n);
  }
  struct sigaction dfl;
  std::memset(&dfl, 0, sizeof dfl);
  dfl.sa_handler = SIG_DFL;
  for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);  // ignored ones too
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  execve(s.path.c_str(), argv, environ);
}

// The exec's errno from the child, or 0 once the exec succeeded (the pipe
// closes on exec).
int ReadChildError(int fd) {
  int child_errno = 0;
  ssize_t n;
  do {
    n = read(fd, &child_errno, sizeof child_errno);
  } while (n < 0 && errno == EINTR);
  return n == static_cast<ssize_t>(sizeof child_errno) ? child_errno : 0;
}

}  // namespace

StartFailure StartFailureOfErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return StartFailure::kNotFound;
    case EACCES:
    case EPERM:
    case ETXTBSY:
      return StartFailure::kNoPermission;
    case ENOEXEC:
    case ELIBBAD:
    case EISDIR:
      return StartFailure::kNotProgram;
    case EAGAIN:
      return StartFailure::kNoProcess;  // fork: the limit of processes (RLIMIT_NPROC, pid_max)
    case ENOMEM:
    case E2BIG:
      return StartFailure::kNoMemory;
    case EMFILE:
    case ENFILE:
      return StartFailure::kTooManyFiles;
    default:
      return StartFailure::kOther;
  }
}

int SpawnChild(const ChildSetup& s, std::string* err, StartFailure* why) {
  std::vector<char*> argv;
  for (auto& a : s.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    if (err) *err = std::strerror(errno);
    if (why) *why = StartFailureOfErrno(errno);
    return 0;
  }
  sigset_t all, old;
  sigfillset(&all);
  sigprocmask(SIG_SETMASK, &all, &old);
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    RunChild(s, parent, argv.data());
    int e = errno;
    ssize_t ignored = write(report[1], &e, sizeof e);
    (void)ignored;
    _exit(127);
  }
  int fork_errno = errno;
  sigprocmask(SIG_SETMASK, &old, nullptr);
  close(report[1]);
  int child_errno = pid < 0 ? fork_errno : ReadChildError(report[0]);
  close(report[0]);
  if (pid > 0 && child_errno != 0) {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  if (child_errno != 0) {
    if (err) *err = std::strerror(child_errno);
    if (why) *why = StartFailureOfErrno(child_errno);
    return 0;
  }
  return pid;
}

}  // namespace kal
