// Choosing the console's front end for this run.
#include "1_platform/host.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "1_platform/platform.h"
#include "1_platform/unavailable_backends.h"

namespace kal {

namespace {

std::unique_ptr<ConsoleFrontEnd> TerminalOrHeadless(Platform& platform, bool force_headless) {
  const char* term = getenv("TERM");
  bool usable = term && *term && strcmp(term, "dumb") != 0;
  if (!force_headless && usable && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
    TerminalOptions opts;
    opts.truecolor = TerminalAnnouncesTruecolor();
    if (auto front = MakeTerminalFrontEnd(platform, STDIN_FILENO, STDOUT_FILENO, opts)) return front;
  }
  return MakeHeadlessFrontEnd(platform.loop, STDIN_FILENO, STDOUT_FILENO);
}

// Standard input as a desktop launcher leaves it: not a terminal, and not a
// pipe or file that somebody feeds keys through.
bool StartedFromDesktop() {
  if (isatty(STDIN_FILENO) || isatty(STDOUT_FILENO)) return false;
  struct stat st {};
  if (fstat(STDIN_FILENO, &st) != 0) return true;  // closed
  return !S_ISFIFO(st.st_mode) && !S_ISREG(st.st_mode) && !S_ISSOCK(st.st_mode);
}

}  // namespace

bool DisplayAnnounced() {
  const char* x = getenv("DISPLAY");
  const char* w = getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(Platform& platform, FrontEndChoice choice,
                                                     const WindowOptions& window, std::string* window_failed) {
  if (window_failed) window_failed->clear();
  if (choice == FrontEndChoice::kHeadless) return TerminalOrHeadless(platform, true);
  bool want_window = choice == FrontEndChoice::kWindow || (DisplayAnnounced() && StartedFromDesktop());
  if (want_window) {
    auto front = MakeWindowFrontEnd(platform, window);
    std::string why = StandInReason(*front);
    if (why.empty()) return front;
    if (window_failed && choice == FrontEndChoice::kWindow) *window_failed = why;
  }
  return TerminalOrHeadless(platform, false);
}

std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(Platform& platform, bool force_headless) {
  return TerminalOrHeadless(platform, force_headless);
}

// A window of ours brings its own queue; the host keeps none.
bool HostKeepsWindowQueue() { return false; }

std::string GetEnvironment(const std::string& name) {
  const char* v = getenv(name.c_str());
  return v ? v : "";
}

void SetEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace kal
