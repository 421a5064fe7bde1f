// MBROLA as a persistent co-process on Linux: the process and its pipes.
// All three pipes are non-blocking and serviced together by poll(), so a
// full output pipe never stalls our writes. The utterance rules are shared
// with the other hosts (1_platform/mbrola_pipe.h).
//
// The process is idle when all our input has been taken, both pipes are
// empty and it sleeps waiting for input (its state in /proc is 'S'); seen
// twice in a row, the utterance is complete.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "1_platform/linux/small_file.h"
#include "1_platform/mbrola.h"
#include "1_platform/mbrola_pipe.h"

namespace kal {

namespace {

bool SetNonBlocking(int fd) {
  int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

int BytesInPipe(int fd) {
  int n = 0;
  return ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}

void CloseFd(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
}

class MbrolaProcess : public MbrolaPipeSynth {
 public:
  explicit MbrolaProcess(std::string program) : MbrolaPipeSynth(2), program_(std::move(program)) {}
  ~MbrolaProcess() override { close_MBR(); }

 protected:
  bool StartProcess(const std::string& database) override {
    if (access(database.c_str(), R_OK) != 0) return false;
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
      ::close(in[0]), ::close(in[1]);
      return false;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
      ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
      return false;
    }
    signal(SIGPIPE, SIG_IGN);
    pid_t pid = fork();
    if (pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      // A Ctrl-C at the terminal is for the program, not its synthesiser.
      signal(SIGINT, SIG_IGN);
      signal(SIGQUIT, SIG_IGN);
      signal(SIGHUP, SIG_IGN);
      execl(program_.c_str(), "mbrola", "-e", database.c_str(), "-", "-.wav", static_cast<char*>(nullptr));
      _exit(127);
    }
    ::close(in[0]), ::close(out[1]), ::close(err[1]);
    if (pid < 0) {
      ::close(in[1]), ::close(out[0]), ::close(err[0]);
      return false;
    }
    pid_ = pid;
    in_ = in[1];
    out_fd_ = out[0];
    err_ = err[0];
    SetNonBlocking(in_);
    SetNonBlocking(out_fd_);
    SetNonBlocking(err_);
    return true;
  }

  void EndProcess() override {
    if (pid_ > 0) {
      CloseFd(&in_);
      int status;
      int64_t deadline = NowMs() + 500;
      while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (NowMs() > deadline) {
          kill(pid_, SIGKILL);
          waitpid(pid_, &status, 0);
          break;
        }
        usleep(1000);
      }
      pid_ = -1;
    }
    CloseFd(&in_);
    CloseFd(&out_fd_);
    CloseFd(&err_);
  }

  void WaitForPipes(int timeout_ms, bool want_write) override {
    pollfd fds[3] = {{out_fd_, POLLIN, 0}, {err_, POLLIN, 0}, {in_, POLLOUT, 0}};
    poll(fds, want_write ? 3 : 2, timeout_ms);
  }

  long WriteInput(const char* data, size_t size) override {
    ssize_t w = ::write(in_, data, size);
    if (w >= 0) return static_cast<long>(w);
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
  }

  long ReadOutput(std::string* samples) override {
    long got = 0;
    bool out_ok = Drain(out_fd_, samples, &got);
    std::string errors;
    bool err_ok = Drain(err_, &errors, &got);
    return out_ok && err_ok ? got : -1;
  }

  bool ProcessIdle() override { return BytesInPipe(in_) == 0 && BytesInPipe(out_fd_) == 0 && Sleeping(); }

  // Makes mbrola drop its input up to the next flush line, then drains what
  // comes out.
  void AbandonUtterance() override {
    kill(pid_, SIGUSR1);
    pending_ += "\n#\n";
    draining_ = true;
    while (alive_ && draining_) {
      out_.clear();
      WaitForSamplesOrEnd();
    }
  }

 private:
  // Reads everything available from a pipe, counting into *got; false at
  // end of file or error.
  static bool Drain(int fd, std::string* into, long* got) {
    char buf[65536];
    for (;;) {
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n > 0) {
        into->append(buf, n);
        *got += n;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }

  // 'S' when the process sleeps (waiting for input once its pipes are empty).
  bool Sleeping() {
    std::string all = ReadFirstLine("/proc/" + std::to_string(pid_) + "/stat");
    size_t paren = all.rfind(')');
    return paren != std::string::npos && paren + 2 < all.size() && all[paren + 2] == 'S';
  }

  std::string program_;
  pid_t pid_ = -1;
  int in_ = -1, out_fd_ = -1, err_ = -1;
};

bool IsExecutable(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindMbrolaProgram() {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    std::string dir(self, n);
    dir.erase(dir.find_last_of('/') + 1);
    if (IsExecutable(dir + "mbrola")) return dir + "mbrola";
  }
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t colon = dirs.find(':', start);
    std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!dir.empty() && IsExecutable(dir + "/mbrola")) return dir + "/mbrola";
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return "";
}

std::unique_ptr<MbrolaSynth> MakeMbrolaProcess(const std::string& program) {
  return std::make_unique<MbrolaProcess>(program);
}

std::string RegisteredMbrolaDatabase(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (lower.empty() || lower.find('/') != std::string::npos || lower == "." || lower == "..") return "";
  std::string path = "/usr/share/mbrola/" + lower + "/" + lower;
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? path : "";
}

std::string_view MbrolaWhereToGet() {
  return "";
}

}  // namespace kal
