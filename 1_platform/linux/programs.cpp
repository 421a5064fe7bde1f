// Starting programs (fork and exec, child_spawn.cpp) and searching /proc.
//
// Every child started here is remembered until it has been collected, so a
// finished program never stays behind as a zombie that the process list would
// still show (the one exception: the leader of a group that must end with us,
// held while its group has members, see child_groups.h). Every child gets a
// process group of its own; a console-sharing child's group is made the
// terminal's foreground group, so Ctrl+C reaches it and not us.
#include "1_platform/programs.h"

#include "1_platform/ended_programs.h"
#include "1_platform/linux/child_groups.h"
#include "1_platform/linux/child_spawn.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

namespace kal {
namespace {

constexpr size_t kMaxPendingInput = 1 << 20;

struct PipedProgram {
  int in = -1, out = -1, err = -1;
  std::string pending;  // input the pipe has not taken yet
};

struct ProgramsState {
  std::set<int> children;          // started and not yet ended
  std::set<int> console_children;  // those started with kConsole
  std::map<int, std::vector<std::string>> names;  // of the children, as started
  ChildGroups groups;              // of the children that end with us
  EndedPrograms ended;
  PipedProgram piped;
  bool terminal_handed_over = false;
};

ProgramsState& S() {
  static ProgramsState s;
  return s;
}

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

void ClosePiped() {
  auto& p = S().piped;
  CloseFd(&p.in);
  CloseFd(&p.out);
  CloseFd(&p.err);
  p.pending.clear();
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

// Records how a child ended and reaps it, unless it leads a group that must
// end with us and still has members.
void ChildEnded(int pid, int code) {
  auto& s = S();
  s.ended.Add(pid, std::move(s.names[pid]), code);
  s.names.erase(pid);
  s.console_children.erase(pid);
  if (!s.groups.HoldEndedLeader(pid)) waitpid(pid, nullptr, WNOHANG);
}

// Collects children that have ended. Their end is looked at without reaping
// them first (WNOWAIT), so that a group leader can be held.
void Collect() {
  auto& s = S();
  for (auto it = s.children.begin(); it != s.children.end();) {
    int pid = *it;
    siginfo_t info{};
    int r = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    if (r == 0 && info.si_pid == pid) {
      it = s.children.erase(it);
      ChildEnded(pid, ExitCodeOf(info));
    } else if (r < 0 && errno == ECHILD) {
      it = s.children.erase(it);
      s.console_children.erase(pid);
      s.names.erase(pid);
      s.groups.Forget(pid);
    } else {
      ContinueIfStopped(pid);
      ++it;
    }
  }
  s.groups.ReleaseEmpty();
}

bool StdinIsForegroundTerminal() {
  return isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp();
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

std::string BaseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ReadSmallFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::string s;
  std::getline(f, s, '\0');
  return s;
}

bool IsZombie(const std::string& pid_dir) {
  std::string stat = ReadSmallFile(pid_dir + "/stat");
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
    names.push_back(Lower(exe));
    names.push_back(Lower(BaseName(exe)));
  }
  std::string comm = ReadSmallFile(pid_dir + "/comm");
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  if (!comm.empty()) names.push_back(Lower(comm));
  std::string argv0 = ReadSmallFile(pid_dir + "/cmdline");
  if (!argv0.empty()) names.push_back(Lower(BaseName(argv0)));
  return names;
}

int MakePipe(int fds[2]) { return pipe2(fds, O_CLOEXEC); }

// True when one of a process's names is the wanted one; a wanted name ending
// in ".exe" also matches the same name without it.
bool NamesMatch(const std::vector<std::string>& names, std::string_view name) {
  std::string want = Lower(name);
  std::string bare;
  if (want.size() > 4 && want.ends_with(".exe")) bare = want.substr(0, want.size() - 4);
  for (auto& n : names)
    if (n == want || (!bare.empty() && n == bare)) return true;
  return false;
}

}  // namespace

int StartProgram(const StartRequest& req, std::string* err) {
  auto& s = S();
  Collect();
  signal(SIGPIPE, SIG_IGN);  // a piped child that ended must not end us
  ChildSetup setup;
  setup.path = req.program.find('/') == std::string::npos ? FindInPath(req.program) : req.program;
  if (setup.path.empty()) {
    if (err) *err = std::strerror(ENOENT);
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
      for (int* p : {in, out, errp}) CloseFd(&p[0]), CloseFd(&p[1]);
      if (err) *err = std::strerror(errno);
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
  if (req.end_with_us) s.groups.Prepare();
  int pid = SpawnChild(setup, err);
  if (req.streams == ChildStreams::kPipes) {
    CloseFd(&in[0]);
    CloseFd(&out[1]);
    CloseFd(&errp[1]);
  }
  if (pid <= 0) {
    if (req.streams == ChildStreams::kPipes) CloseFd(&in[1]), CloseFd(&out[0]), CloseFd(&errp[0]);
    return 0;
  }
  s.children.insert(pid);
  s.names[pid] = {Lower(setup.path), Lower(BaseName(setup.path)), Lower(BaseName(req.program))};
  if (req.end_with_us) s.groups.Add(pid);
  if (req.streams == ChildStreams::kConsole) s.console_children.insert(pid);
  if (hand_over) s.terminal_handed_over = true;
  if (req.streams == ChildStreams::kPipes) {
    ClosePiped();
    s.piped.in = in[1];
    s.piped.out = out[0];
    s.piped.err = errp[0];
    for (int fd : {in[1], out[0], errp[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  return pid;
}

int EndProgramsNamed(std::string_view name) {
  Collect();
  int ended = 0;
  for (int pid : S().children) {
    std::string dir = "/proc/" + std::to_string(pid);
    if (IsZombie(dir) || !NamesMatch(ProcessNames(dir), name)) continue;
    if (kill(pid, SIGTERM) == 0) ++ended;
  }
  return ended;
}

bool EndProgram(int id, bool force) {
  Collect();
  if (id <= 0 || S().children.count(id) == 0) return false;
  return kill(id, force ? SIGKILL : SIGTERM) == 0;
}

int ProgramExitCode(int id) {
  Collect();
  return S().ended.CodeOf(id);
}

int LastExitCodeNamed(std::string_view name) {
  Collect();
  return S().ended.LastCodeMatching([name](const std::vector<std::string>& names) { return NamesMatch(names, name); });
}

void EndProgramsWithUs() {
  constexpr int kPolls = 25, kPollUs = 20000;  // half a second to end politely
  auto& s = S();
  Collect();
  s.groups.SignalAll(SIGTERM);
  for (int i = 0; i < kPolls && !s.groups.Empty(); ++i) {
    usleep(kPollUs);
    Collect();
  }
  s.groups.SignalAll(SIGKILL);
  usleep(kPollUs);
  Collect();
}

bool ProgramRunning(int id) {
  Collect();
  return S().children.count(id) > 0;
}

bool ConsoleProgramRunning() {
  Collect();
  return !S().console_children.empty();
}

void ReclaimTerminal() {
  auto& s = S();
  if (!s.terminal_handed_over) return;
  s.terminal_handed_over = false;
  // We are a background group at this moment: without blocking SIGTTOU the
  // call would stop us.
  sigset_t block, old;
  sigemptyset(&block);
  sigaddset(&block, SIGTTOU);
  sigprocmask(SIG_BLOCK, &block, &old);
  tcsetpgrp(STDIN_FILENO, getpgrp());
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

bool SendToPipedProgram(std::string_view bytes) {
  auto& p = S().piped;
  if (p.in < 0) return false;
  size_t room = kMaxPendingInput > p.pending.size() ? kMaxPendingInput - p.pending.size() : 0;
  p.pending.append(bytes.substr(0, room));
  while (!p.pending.empty()) {
    ssize_t n = write(p.in, p.pending.data(), p.pending.size());
    if (n > 0) {
      p.pending.erase(0, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    CloseFd(&p.in);  // the program closed its input or ended
    p.pending.clear();
    return false;
  }
  return true;
}

std::string TakePipedOutput(int stream, size_t max) {
  auto& p = S().piped;
  SendToPipedProgram("");  // move on what the input pipe refused before
  int* fd = stream == 2 ? &p.err : &p.out;
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

bool ProcessRunningNamed(std::string_view name) {
  Collect();
  DIR* d = opendir("/proc");
  if (!d) return false;
  bool found = false;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
    std::string dir = std::string("/proc/") + e->d_name;
    if (IsZombie(dir)) continue;
    found = NamesMatch(ProcessNames(dir), name);
    if (found) break;
  }
  closedir(d);
  return found;
}

std::string DocumentOpener() { return "xdg-open"; }

std::string FindInPath(std::string_view name) {
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

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace kal
