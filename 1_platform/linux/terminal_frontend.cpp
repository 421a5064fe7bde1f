// The terminal front end: the console drawn on a terminal in raw mode on the
// alternate screen, keys read raw from it.
//
// The terminal is put back as it was found on every way out: the normal end
// and errors (Restore), a stopped run (Restore again from main, and the
// AtProgramExit clean-up), SIGINT, SIGTERM and SIGHUP, the break key, and
// crashes. A termination signal only records the stop request and writes
// its number into a self-pipe that the event loop watches, which wakes any
// wait; the waits then unwind and the run loop hands the end back to main,
// which restores the terminal and returns the exit code. Should the program
// not get back to main within a few seconds (a blocking call), an alarm
// restores the terminal from the signal handler itself and ends the process.
//
// The terminal's own keyboard signals stay off (Ctrl+C and Ctrl+Z are keys
// of the program, and a signal from the keyboard would also reach a shell
// script that started us). The break key, Ctrl+], is read as a key and
// acted on by the console as soon as input is taken, which the run loop
// does regularly even in a script loop that never waits.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "1_platform/linux/ansi_renderer.h"
#include "0_base/console_grid.h"
#include "0_base/latin1.h"
#include "1_platform/console_frontend.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "1_platform/process.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

// Leaves what the front end turned on: scrolling region, modified-key
// reports, mouse reports, colours, hidden cursor, alternate screen.
constexpr char kLeave[] = "\x1b[r\x1b[>4m\x1b[?1006l\x1b[?1000l\x1b[0m\x1b[?25h\x1b[?1049l";
constexpr char kEnter[] = "\x1b[?1049h\x1b[?1000h\x1b[?1006h\x1b[>4;1m\x1b[0m\x1b[2J\x1b[?25l";
constexpr int kSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGWINCH, SIGTSTP, SIGCONT};
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kAlarmSeconds = 3;

// What a signal handler needs to put the terminal back; only plain data.
struct TtyState {
  int fd = -1;
  termios saved{};
  volatile sig_atomic_t raw = 0;       // our mode and screen are on
  volatile sig_atomic_t exiting = 0;   // a termination signal is pending
  volatile sig_atomic_t releases = 0;  // key-release reports were asked for
  int pipe[2] = {-1, -1};
  struct sigaction crash_before[sizeof kCrashSignals / sizeof kCrashSignals[0]];
};
TtyState g_tty;
class TerminalFrontEnd;

void WriteFully(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return;
    p += w;
    n -= static_cast<size_t>(w);
  }
}

// Async-signal-safe: only write and tcsetattr.
void RestoreTty() {
  if (!g_tty.raw) return;
  g_tty.raw = 0;
  if (g_tty.releases) {
    static const char kPop[] = "\x1b[<u";
    WriteFully(g_tty.fd, kPop, sizeof kPop - 1);
  }
  WriteFully(g_tty.fd, kLeave, sizeof kLeave - 1);
  tcsetattr(g_tty.fd, TCSANOW, &g_tty.saved);
}

bool EndsProgram(int sig) { return sig == SIGINT || sig == SIGQUIT || sig == SIGTERM || sig == SIGHUP; }

void OnSignal(int sig) {
  int saved_errno = errno;
  if (EndsProgram(sig)) {
    if (g_tty.exiting) {  // asked twice: do not wait for the loop
      RestoreTty();
      _exit(128 + sig);
    }
    g_tty.exiting = sig;
    RequestStopFromSignal(sig);
    alarm(kAlarmSeconds);
  }
  unsigned char b = static_cast<unsigned char>(sig);
  if (g_tty.pipe[1] >= 0) {
    ssize_t r = write(g_tty.pipe[1], &b, 1);
    (void)r;
  }
  errno = saved_errno;
}

// A crash: the terminal is put back, then the signal goes on to whatever
// handled it before (the default action, or a sanitizer's report).
void OnCrash(int sig) {
  RestoreTty();
  for (size_t i = 0; i < sizeof kCrashSignals / sizeof kCrashSignals[0]; ++i)
    if (kCrashSignals[i] == sig) sigaction(sig, &g_tty.crash_before[i], nullptr);
  raise(sig);
}

void OnAlarm(int) {
  if (!g_tty.exiting) return;
  RestoreTty();
  _exit(128 + g_tty.exiting);
}

bool SetRaw(int fd) {
  termios t = g_tty.saved;
  t.c_iflag &= ~(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  t.c_cflag |= CS8;
  t.c_lflag &= ~(ECHO | ICANON | IEXTEN | ISIG);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

class TerminalFrontEnd : public ConsoleFrontEnd {
 public:
  // The pipe the signal handlers write to is watched on loop.
  TerminalFrontEnd(Platform& platform, int in_fd, int out_fd, const TerminalOptions& opts)
      : platform_(platform),
        loop_(platform.loop),
        in_(in_fd),
        out_(out_fd),
        opts_(opts),
        renderer_(ConsoleGrid::kWidth, ConsoleGrid::kHeight, opts.truecolor) {}

  ~TerminalFrontEnd() override {
    Restore();
    *self_ = nullptr;
    if (signals_) {
      for (int sig : kSignals) signal(sig, SIG_DFL);
      signal(SIGALRM, SIG_DFL);
      for (size_t i = 0; i < sizeof kCrashSignals / sizeof kCrashSignals[0]; ++i)
        sigaction(kCrashSignals[i], &g_tty.crash_before[i], nullptr);
      loop_.Unwatch(g_tty.pipe[0]);
    }
  }

  bool Start() {
    if (tcgetattr(in_, &g_tty.saved) != 0) return false;
    g_tty.fd = in_;
    erase_ = g_tty.saved.c_cc[VERASE];
    if (opts_.handle_signals) InstallSignals();
    // The clean-up restores this front end while it lives, else the tty.
    AtProgramExit(platform_, [self = self_] {
      if (*self) {
        (*self)->Restore();
      } else {
        RestoreTty();
      }
    });
    Enter();
    return true;
  }

  void OnWrite(std::string_view) override {}

  void Present(const ConsoleGrid& grid) override {
    last_grid_ = &grid;
    if (suspended_ || restored_) return;
    Send(renderer_.Render(grid));
  }

  void SetTitle(std::string_view title) override {
    std::string clean;
    for (unsigned char c : title)
      if (c >= 32 && !(c >= 127 && c < 160)) clean.push_back(static_cast<char>(c));
    Send("\x1b]0;" + Latin1ToUtf8(clean) + "\a");
  }

  void ShowCaret(bool on) override {
    caret_ = on;
    if (!suspended_ && !restored_) Send(on ? "\x1b[?25h" : "\x1b[?25l");
  }

  void Bell() override {
    if (!suspended_ && !restored_) Send("\a");
  }

  int InputFd() override { return in_; }

  int ReadInput(char* buf, int cap) override {
    if (suspended_ || cap <= 0) return 0;
    pollfd p{in_, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return 0;
    ssize_t n = read(in_, buf, static_cast<size_t>(cap));
    if (n > 0) return static_cast<int>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    return -1;  // the terminal has gone
  }

  void Suspend() override {
    if (suspended_ || restored_) return;
    suspended_ = true;
    RestoreTty();
    g_tty.releases = 0;
  }

  void Resume() override {
    if (!suspended_ || restored_) return;
    suspended_ = false;
    Enter();
  }

  // Back to the normal screen, where the last screen's text is written
  // as plain lines: the transcript stays for reading and for screen readers.
  void Restore() override {
    if (restored_) return;
    restored_ = true;
    RestoreTty();
    g_tty.releases = 0;
    if (last_grid_) Send(ForTerminal(ScreenText(*last_grid_)));
  }

  // The chord keyboard needs key releases: terminals that speak the
  // progressive keyboard protocol report them when asked (flags: keys
  // disambiguated, event types, every key as a sequence).
  void SetKeyReleases(bool on) override {
    if (on == releases_wanted_) return;
    releases_wanted_ = on;
    if (!ReleaseCapable() || suspended_ || restored_) return;
    Send(on ? "\x1b[>11u" : "\x1b[<u");
    g_tty.releases = on;
  }
  bool ReportsKeyReleases() const override { return releases_wanted_ && ReleaseCapable(); }

  bool SmallerThanGrid() const override {
    return renderer_.SmallerThan(ConsoleGrid::kWidth, ConsoleGrid::kHeight);
  }
  int VisibleColumns() const override {
    int cols = renderer_.terminal_columns();
    return cols > 0 && cols < ConsoleGrid::kWidth ? cols : 0;
  }
  std::string TerminalName() const override {
    const char* name = ttyname(out_);
    return name ? name : "";
  }

  bool IsTerminal() const override { return true; }
  bool TerminalKeys() const override { return true; }
  int EraseByte() const override { return erase_; }

 private:
  // Raw mode and the alternate screen, cleared; the next Present draws
  // everything.
  void Enter() {
    if (!SetRaw(in_)) return;
    g_tty.raw = 1;
    Send(kEnter);
    if (releases_wanted_ && ReleaseCapable()) {
      Send("\x1b[>11u");
      g_tty.releases = 1;
    }
    if (caret_) Send("\x1b[?25h");
    winsize ws{};
    if (ioctl(out_, TIOCGWINSZ, &ws) == 0) renderer_.SetTerminalSize(ws.ws_col, ws.ws_row);
    renderer_.Invalidate();
    Send(renderer_.Setup());
  }

  // The screen may have been changed behind our back: draw it all again.
  void Redraw() {
    if (suspended_ || restored_) return;
    Enter();
    if (last_grid_) Send(renderer_.Render(*last_grid_));
  }

  // Line ends as the terminal, back in its own mode, wants them: a bare LF
  // unless it does not turn LF into CR LF itself.
  static std::string ForTerminal(const std::string& lines) {
    if ((g_tty.saved.c_oflag & OPOST) && (g_tty.saved.c_oflag & ONLCR)) return lines;
    std::string out;
    for (char c : lines) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  void Send(const std::string& s) {
    if (!s.empty()) WriteFully(out_, s.data(), s.size());
  }

  void InstallSignals() {
    if (g_tty.pipe[0] < 0 && pipe2(g_tty.pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals) sigaction(sig, &sa, nullptr);
    sa.sa_handler = OnAlarm;
    sigaction(SIGALRM, &sa, nullptr);
    sa.sa_handler = OnCrash;
    sa.sa_flags = 0;
    for (size_t i = 0; i < sizeof kCrashSignals / sizeof kCrashSignals[0]; ++i)
      sigaction(kCrashSignals[i], &sa, &g_tty.crash_before[i]);
    loop_.Watch(g_tty.pipe[0], [this] { TakeSignals(); });
    signals_ = true;
  }

  // Runs on the loop's thread: what the handlers recorded.
  void TakeSignals() {
    unsigned char sigs[32];
    ssize_t n;
    while ((n = read(g_tty.pipe[0], sigs, sizeof sigs)) > 0) {
      for (ssize_t i = 0; i < n; ++i) HandleSignal(sigs[i]);
    }
  }

  void HandleSignal(int sig) {
    if (sig == SIGWINCH || sig == SIGCONT) {
      Redraw();
      return;
    }
    if (sig == SIGTSTP) {
      // Stopped from outside: hand the terminal back while stopped.
      bool was_suspended = suspended_;
      Suspend();
      raise(SIGSTOP);
      if (!was_suspended) {
        Resume();
        Redraw();
      }
      return;
    }
    // A termination signal: the handler recorded the stop request, and
    // this wake-up lets the waits see it; main restores and reports.
  }

  bool ReleaseCapable() const { return release_capable_; }
  // Terminals known to report key releases through the progressive keyboard
  // protocol; KALDORIN_KEY_RELEASES=1 vouches for any other.
  static bool TerminalReportsReleases() {
    const char* force = getenv("KALDORIN_KEY_RELEASES");
    if (force) return strcmp(force, "1") == 0;
    const char* term = getenv("TERM");
    const char* program = getenv("TERM_PROGRAM");
    std::string t = term ? term : "", p = program ? program : "";
    return t.find("kitty") != std::string::npos || t.rfind("foot", 0) == 0 ||
           t.find("ghostty") != std::string::npos || p == "WezTerm" || p == "ghostty";
  }

  Platform& platform_;
  EventLoop& loop_;
  int in_, out_;
  TerminalOptions opts_;
  AnsiRenderer renderer_;
  // Read once, when the front end is made: the environment names the terminal.
  const bool release_capable_ = TerminalReportsReleases();
  // This front end while it lives, for the clean-up at the end of a run.
  std::shared_ptr<TerminalFrontEnd*> self_ = std::make_shared<TerminalFrontEnd*>(this);
  const ConsoleGrid* last_grid_ = nullptr;  // the console's grid lives for the process
  int erase_ = 0x7F;
  bool suspended_ = false;
  bool restored_ = false;
  bool signals_ = false;
  bool releases_wanted_ = false;
  bool caret_ = false;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakeTerminalFrontEnd(Platform& platform, int in_fd, int out_fd,
                                                      const TerminalOptions& opts) {
  auto front = std::make_unique<TerminalFrontEnd>(platform, in_fd, out_fd, opts);
  if (!front->Start()) return nullptr;
  return front;
}

bool TerminalAnnouncesTruecolor() {
  const char* c = getenv("COLORTERM");
  return c && (strcmp(c, "truecolor") == 0 || strcmp(c, "24bit") == 0);
}

}  // namespace kal
