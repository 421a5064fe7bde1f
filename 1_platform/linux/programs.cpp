// Starting programs (fork and exec, child_spawn.cpp) and searching /proc.
//
// Every child started here is remembered until it has been collected, so a
// finished program never stays behind as a zombie that the process list would
// still show (the one exception: the leader of a group that must end with us,
// held while its group has members, see child_groups.h). Every child gets a
// process group of its own; a console-sharing child's group is made the
// terminal's foreground group, so Ctrl+C reaches it and not us.
#include "1_platform/programs.h"

#include "1_platform/program_starter.h"
#include "1_platform/linux/child_groups.h"
#include "1_platform/linux/child_spawn.h"
#include "1_platform/linux/small_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

namespace kal {
namespace {

struct PipedProgram {
  int in = -1, out = -1, err = -1;
};

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

// The exit code of an ended child as the system reported it.
int ExitCodeOf(const siginfo_t& info) {
  return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
}

// A child stopped by a terminal signal is continued: there is no shell here
// to resume it later.
void ContinueIfStopped(int pid) {
  siginfo_t info{};
  if (waitid(P_PID, static_cast<id_t>(pid), &info, WSTOPPED | WNOHANG) == 0 && info.si_pid == pid) kill(pid, SIGCONT);
}

bool StdinIsForegroundTerminal() {
  return isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp();
}

std::string BaseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The file's text up to its first NUL (argv[0] of a command line).
std::string ReadUpToNul(const std::string& path) {
  std::string s = ReadSmallFile(path);
  s.resize(std::min(s.size(), s.find('\0')));
  return s;
}

bool IsZombie(const std::string& pid_dir) {
  std::string stat = ReadFirstLine(pid_dir + "/stat");
  size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'Z';
}

// The names by which the process in pid_dir can be known, in lower case.
std::vector<std::string> ProcessNames(const std::string& pid_dir) {
  std::vector<std::string> names;
  char buf[4096];
  ssize_t n = readlink((pid_dir + "/exe").c_str(), buf, sizeof buf - 1);
  if (n > 0) {
    std::string exe(buf, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.ends_with(deleted)) exe.resize(exe.size() - deleted.size());
    names.push_back(LowerAscii(exe));
    names.push_back(LowerAscii(BaseName(exe)));
  }
  std::string comm = ReadFirstLine(pid_dir + "/comm");
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  if (!comm.empty()) names.push_back(LowerAscii(comm));
  std::string argv0 = ReadUpToNul(pid_dir + "/cmdline");
  if (!argv0.empty()) names.push_back(LowerAscii(BaseName(argv0)));
  return names;
}

int MakePipe(int fds[2]) { return pipe2(fds, O_CLOEXEC); }

// One write to the piped program's input, as PendingInput wants it.
PendingInput::Write WriteSome(int fd, const char* data, size_t size) {
  for (;;) {
    ssize_t n = write(fd, data, size);
    if (n > 0) return {PendingInput::Outcome::kTook, static_cast<size_t>(n)};
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return {PendingInput::Outcome::kFull};
    return {PendingInput::Outcome::kClosed};
  }
}

class LinuxPrograms : public ProgramStarter {
 public:
  LinuxPrograms() : ProgramStarter(false) {}
  ~LinuxPrograms() override { ClosePiped(); }

  int Start(const StartRequest& req, std::string* err, StartFailure* why) override;
  void EndProgramsWithUs() override;
  void ReclaimTerminal() override;
  int EndNamed(std::string_view name) override;
  bool End(int id, bool force) override;
  bool SendToPiped(std::string_view bytes) override;
  std::string TakePipedOutput(int stream, size_t max) override;
  bool ProcessRunningNamed(std::string_view name) override;
  std::string DocumentOpener() override { return "xdg-open"; }
  std::string FindInPath(std::string_view name) override;
  bool IsExecutableFile(const std::string& path) override;

 protected:
  void Collect() override;

 private:
  void ClosePiped();
  void Reap(int pid, int code);

  ChildGroups groups_;  // of the children that end with us
  PipedProgram piped_;
  bool terminal_handed_over_ = false;
};

void LinuxPrograms::ClosePiped() {
  CloseFd(&piped_.in);
  CloseFd(&piped_.out);
  CloseFd(&piped_.err);
  pending_.Clear();
}

// Records how a child ended and reaps it, unless it leads a group that must
// end with us and still has members.
void LinuxPrograms::Reap(int pid, int code) {
  ChildEnded(pid, code);
  if (!groups_.HoldEndedLeader(pid)) waitpid(pid, nullptr, WNOHANG);
}

// Collects children that have ended. Their end is looked at without reaping
// them first (WNOWAIT), so that a group leader can be held.
void LinuxPrograms::Collect() {
  std::vector<int> pids(Children().begin(), Children().end());
  for (int pid : pids) {
    siginfo_t info{};
    int r = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    if (r == 0 && info.si_pid == pid) {
      Reap(pid, ExitCodeOf(info));
    } else if (r < 0 && errno == ECHILD) {
      ChildGone(pid);
      groups_.Forget(pid);
    } else {
      ContinueIfStopped(pid);
    }
  }
  groups_.ReleaseEmpty();
}

int LinuxPrograms::Start(const StartRequest& req, std::string* err, StartFailure* why) {
  Collect();
  signal(SIGPIPE, SIG_IGN);  // a piped child that ended must not end us
  ChildSetup setup;
  setup.path = req.program.find('/') == std::string::npos ? FindInPath(req.program) : req.program;
  if (setup.path.empty()) {
    if (err) *err = std::strerror(ENOENT);
    if (why) *why = StartFailure::kNotFound;
    return 0;
  }
  // A program that must end with us whose group the guard cannot watch is
  // not started: it could outlive us unseen.
  if (req.end_with_us && !groups_.Prepare()) {
    if (err) *err = "no more process groups can be watched";
    if (why) *why = StartFailure::kTooManyWatched;
    return 0;
  }
  setup.argv.push_back(req.program);
  setup.argv.insert(setup.argv.end(), req.args.begin(), req.args.end());
  setup.end_with_us = req.end_with_us;
  int in[2] = {-1, -1}, out[2] = {-1, -1}, errp[2] = {-1, -1};
  bool hand_over = false;
  if (req.streams == ChildStreams::kDetached) {
    setup.null_streams = true;
    setup.own_group = true;  // keyboard signals of the terminal stay ours
  } else if (req.streams == ChildStreams::kPipes) {
    if (MakePipe(in) < 0 || MakePipe(out) < 0 || MakePipe(errp) < 0) {
      int saved = errno;
      for (int* p : {in, out, errp}) CloseFd(&p[0]), CloseFd(&p[1]);
      if (err) *err = std::strerror(saved);
      if (why) *why = StartFailureOfErrno(saved);
      return 0;
    }
    setup.fds[0] = in[0], setup.fds[1] = out[1], setup.fds[2] = errp[1];
    setup.own_group = true;
  } else {
    // Its own group even without a terminal to hand over: the group is how
    // what it starts in turn is ended with it.
    setup.own_group = true;
    hand_over = setup.take_terminal = StdinIsForegroundTerminal();
  }
  int pid = SpawnChild(setup, err, why);
  if (req.streams == ChildStreams::kPipes) {
    CloseFd(&in[0]);
    CloseFd(&out[1]);
    CloseFd(&errp[1]);
  }
  if (pid <= 0) {
    if (req.streams == ChildStreams::kPipes) CloseFd(&in[1]), CloseFd(&out[0]), CloseFd(&errp[0]);
    return 0;
  }
  ChildStarted(pid, StartedNames(setup.path, req.program, "/"), req.streams == ChildStreams::kConsole);
  if (req.end_with_us) groups_.Add(pid);
  if (hand_over) terminal_handed_over_ = true;
  if (req.streams == ChildStreams::kPipes) {
    ClosePiped();
    piped_.in = in[1];
    piped_.out = out[0];
    piped_.err = errp[0];
    for (int fd : {in[1], out[0], errp[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  return pid;
}

int LinuxPrograms::EndNamed(std::string_view name) {
  Collect();
  int ended = 0;
  for (int pid : Children()) {
    std::string dir = "/proc/" + std::to_string(pid);
    if (IsZombie(dir) || !Matches(ProcessNames(dir), name)) continue;
    if (kill(pid, SIGTERM) == 0) ++ended;
  }
  return ended;
}

bool LinuxPrograms::End(int id, bool force) {
  Collect();
  if (id <= 0 || !IsChild(id)) return false;
  return kill(id, force ? SIGKILL : SIGTERM) == 0;
}

void LinuxPrograms::EndProgramsWithUs() {
  constexpr int kPolls = 25, kPollUs = 20000;  // half a second to end politely
  Collect();
  groups_.SignalAll(SIGTERM);
  for (int i = 0; i < kPolls && !groups_.Empty(); ++i) {
    usleep(kPollUs);
    Collect();
  }
  // Every run ends here: one that started nothing, or whose programs ended
  // politely, does not wait again.
  if (groups_.Empty()) return;
  groups_.SignalAll(SIGKILL);
  usleep(kPollUs);
  Collect();
}

void LinuxPrograms::ReclaimTerminal() {
  if (!terminal_handed_over_) return;
  terminal_handed_over_ = false;
  // We are a background group at this moment: without blocking SIGTTOU the
  // call would stop us.
  sigset_t block, old;
  sigemptyset(&block);
  sigaddset(&block, SIGTTOU);
  sigprocmask(SIG_BLOCK, &block, &old);
  tcsetpgrp(STDIN_FILENO, getpgrp());
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

bool LinuxPrograms::SendToPiped(std::string_view bytes) {
  if (piped_.in < 0) return false;
  int fd = piped_.in;
  if (pending_.Send(bytes, [fd](const char* data, size_t size) { return WriteSome(fd, data, size); })) return true;
  CloseFd(&piped_.in);  // the program closed its input or ended
  return false;
}

std::string LinuxPrograms::TakePipedOutput(int stream, size_t max) {
  SendToPiped("");  // move on what the input pipe refused before
  int* fd = stream == 2 ? &piped_.err : &piped_.out;
  std::string got;
  char buf[4096];
  while (*fd >= 0 && got.size() < max) {
    ssize_t n = read(*fd, buf, std::min(sizeof buf, max - got.size()));
    if (n > 0) {
      got.append(buf, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n == 0) CloseFd(fd);  // the program closed it: nothing more will come
      break;
    }
  }
  return got;
}

bool LinuxPrograms::ProcessRunningNamed(std::string_view name) {
  Collect();
  DIR* d = opendir("/proc");
  if (!d) return false;
  bool found = false;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
    std::string dir = std::string("/proc/") + e->d_name;
    if (IsZombie(dir)) continue;
    found = Matches(ProcessNames(dir), name);
    if (found) break;
  }
  closedir(d);
  return found;
}

std::string LinuxPrograms::FindInPath(std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return "";
  const char* path = getenv("PATH");
  std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    size_t colon = rest.find(':');
    std::string_view dir = rest.substr(0, colon);
    std::string candidate = std::string(dir.empty() ? "." : dir) + "/" + std::string(name);
    if (IsExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return "";
    rest.remove_prefix(colon + 1);
  }
}

bool LinuxPrograms::IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::unique_ptr<Programs> MakeHostPrograms() { return std::make_unique<LinuxPrograms>(); }

std::string HelperProgramFolder() { return ""; }

}  // namespace kal
