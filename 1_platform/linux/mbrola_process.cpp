// MBROLA as a persistent co-process: `mbrola -e DB - -.wav` reads the
// phoneme stream on its standard input and writes a wave header once, then
// raw 16-bit samples, on its standard output. All three pipes are
// non-blocking and serviced together by poll(), so a full output pipe never
// stalls our writes (mbrola would stop reading while its output is full).
//
// The output stream has no end-of-utterance mark. A line "#" makes mbrola
// synthesise and flush everything pending; the utterance is complete when
// all our input has been taken, both pipes are empty and the process sleeps
// waiting for input (its state in /proc is 'S'), seen twice in a row.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "1_platform/mbrola.h"

namespace kal {

namespace {

constexpr size_t kHeaderBytes = 44;
constexpr size_t kMaxPendingInput = 32 * 1024;
// Lines are handed over in batches of about this size: one write per line
// would wake mbrola for every phoneme.
constexpr size_t kWriteBatch = 1024;
constexpr int kStartTimeoutMs = 5000;
// Without any progress for this long the utterance is given up.
constexpr int kStallTimeoutMs = 5000;

int64_t MonotonicMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

bool SetNonBlocking(int fd) {
  int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

int BytesInPipe(int fd) {
  int n = 0;
  return ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}

class MbrolaProcess : public MbrolaSynth {
 public:
  explicit MbrolaProcess(std::string program) : program_(std::move(program)) {}
  ~MbrolaProcess() override { close_MBR(); }

  int init_MBR(const std::string& database) override {
    close_MBR();
    if (access(database.c_str(), R_OK) != 0) return -1;
    if (!Spawn(database)) return -1;
    // The header comes once, at the start of the stream.
    pending_ = "#\n";
    int64_t deadline = MonotonicMs() + kStartTimeoutMs;
    while (alive_ && out_.size() < kHeaderBytes && MonotonicMs() < deadline) Pump(20);
    if (out_.size() < kHeaderBytes || std::memcmp(out_.data(), "RIFF", 4) != 0) {
      close_MBR();
      return -1;
    }
    const unsigned char* h = reinterpret_cast<const unsigned char*>(out_.data());
    rate_ = h[24] | h[25] << 8 | h[26] << 16 | h[27] << 24;
    out_.erase(0, kHeaderBytes);
    out_.clear();
    return 0;
  }

  int write_MBR(std::string_view line) override {
    if (!alive_) return -1;
    pending_.append(line);
    if (pending_.empty() || pending_.back() != '\n') pending_ += '\n';
    // Keep the input moving; when a lot is waiting, wait for mbrola to take
    // it while reading what it produces.
    if (pending_.size() >= kWriteBatch) Pump(0);
    while (alive_ && pending_.size() > kMaxPendingInput) Pump(50);
    return alive_ ? 0 : -1;
  }

  int flush_MBR() override {
    if (!alive_) return -1;
    pending_ += "#\n";
    draining_ = true;
    Pump(0);
    return 0;
  }

  int read_MBR(int16_t* buffer, int count) override {
    if (count <= 0) return 0;
    if (out_.size() < 2 && (draining_ || pending_.empty())) Pump(0);
    if (out_.size() < 2 && draining_) WaitForSamplesOrEnd();
    size_t samples = std::min(out_.size() / 2, static_cast<size_t>(count));
    std::memcpy(buffer, out_.data(), samples * 2);
    out_.erase(0, samples * 2);
    return static_cast<int>(samples);
  }

  void reset_MBR() override {
    if (alive_ && (draining_ || !pending_.empty())) {
      // Something is still in flight: make mbrola drop its input up to the
      // next flush line, then drain what comes out.
      kill(pid_, SIGUSR1);
      pending_ += "\n#\n";
      draining_ = true;
    }
    while (alive_ && draining_) {
      out_.clear();
      WaitForSamplesOrEnd();
    }
    out_.clear();
    draining_ = false;
  }

  void close_MBR() override {
    if (pid_ > 0) {
      CloseFd(&in_);
      int status;
      int64_t deadline = MonotonicMs() + 500;
      while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (MonotonicMs() > deadline) {
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
    alive_ = false;
    draining_ = false;
    pending_.clear();
    out_.clear();
  }

  void setNoError_MBR(int no_error) override { no_error_ = no_error; }
  int getFreq_MBR() override { return rate_; }

 private:
  bool Spawn(const std::string& database) {
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
    alive_ = true;
    return true;
  }

  static void CloseFd(int* fd) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }

  // Reads everything available from a pipe; false at end of file or error.
  bool Drain(int fd, std::string* into) {
    char buf[65536];
    for (;;) {
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n > 0) {
        if (into) into->append(buf, n);
        progress_ms_ = MonotonicMs();
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }

  void Died() {
    alive_ = false;
    draining_ = false;
    pending_.clear();
  }

  // One round of I/O: write what mbrola will take, read what it produced,
  // waiting at most timeout_ms for any of it.
  void Pump(int timeout_ms) {
    if (!alive_) return;
    pollfd fds[3] = {{out_fd_, POLLIN, 0}, {err_, POLLIN, 0}, {in_, POLLOUT, 0}};
    nfds_t n = pending_.empty() ? 2 : 3;
    if (poll(fds, n, timeout_ms) < 0 && errno != EINTR) return;
    if (!pending_.empty()) {
      ssize_t w = ::write(in_, pending_.data(), pending_.size());
      if (w > 0) {
        pending_.erase(0, w);
        progress_ms_ = MonotonicMs();
      } else if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        Died();
        return;
      }
    }
    std::string errors;
    bool out_ok = Drain(out_fd_, &out_);
    bool err_ok = Drain(err_, &errors);
    if (!out_ok || !err_ok) Died();
  }

  // 'S' when the process sleeps (waiting for input once its pipes are empty).
  bool Sleeping() {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string all;
    std::getline(stat, all);
    size_t paren = all.rfind(')');
    return paren != std::string::npos && paren + 2 < all.size() && all[paren + 2] == 'S';
  }

  bool Idle() {
    return pending_.empty() && BytesInPipe(in_) == 0 && BytesInPipe(out_fd_) == 0 && Sleeping();
  }

  // After a flush: returns when samples are there or the utterance is over.
  void WaitForSamplesOrEnd() {
    progress_ms_ = MonotonicMs();
    int idle_seen = 0;
    while (alive_ && draining_ && out_.size() < 2) {
      Pump(idle_seen > 0 ? 1 : 2);
      if (out_.size() >= 2) return;
      idle_seen = Idle() ? idle_seen + 1 : 0;
      if (idle_seen >= 2 || MonotonicMs() - progress_ms_ > kStallTimeoutMs) draining_ = false;
    }
  }

  std::string program_;
  pid_t pid_ = -1;
  int in_ = -1, out_fd_ = -1, err_ = -1;
  bool alive_ = false;
  bool draining_ = false;
  std::string pending_;
  std::string out_;
  int rate_ = 0;
  int no_error_ = 0;
  int64_t progress_ms_ = 0;
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

}  // namespace kal
