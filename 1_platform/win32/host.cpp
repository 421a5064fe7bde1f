// Choosing the console's front end for this run, and the environment.
#include "1_platform/host.h"

#include <windows.h>

#include <cstdlib>

#include "1_platform/platform.h"
#include "1_platform/platform_messages.h"
#include "1_platform/unavailable_backends.h"
#include "1_platform/win32/console_window.h"
#include "1_platform/win32/wide.h"

namespace kal {

std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(Platform& platform, bool force_headless) {
  if (!force_headless) {
    if (auto window = MakeConsoleWindow(platform, WindowOptions{})) return window;
  }
  return MakeHeadlessFrontEnd(platform.loop, 0, 1);
}

// The desktop is always there; the console's window is the GDI one.
bool DisplayAnnounced() { return true; }

std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(Platform& platform, const WindowOptions& opts) {
  if (auto window = MakeConsoleWindow(platform, opts)) return window;
  return MakeNoWindow(std::string(platform_msg::kNoDisplay));
}

// Whether a standard handle is a pipe or a file: neither missing (a
// program without a console) nor a console.
bool Redirected(DWORD which) {
  HANDLE h = GetStdHandle(which);
  DWORD mode = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && !GetConsoleMode(h, &mode) &&
         GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// The window unless a headless run is asked for, or nothing asked for and
// both standard input and output go to pipes or files (a program started
// by a headless run, such as the viewer, or by a test): headless then, as
// without a terminal on other hosts. Headless too when the window cannot
// be made.
std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(Platform& platform, FrontEndChoice choice,
                                                     const WindowOptions& opts, std::string* window_failed) {
  if (window_failed) window_failed->clear();
  if (choice == FrontEndChoice::kAuto && Redirected(STD_INPUT_HANDLE) && Redirected(STD_OUTPUT_HANDLE))
    choice = FrontEndChoice::kHeadless;
  if (choice != FrontEndChoice::kHeadless) {
    if (auto window = MakeConsoleWindow(platform, opts)) return window;
    if (window_failed && choice == FrontEndChoice::kWindow) *window_failed = platform_msg::kNoDisplay;
  }
  return MakeHeadlessFrontEnd(platform.loop, 0, 1);
}

// Every program has a message queue, which the system fills as it likes.
bool HostKeepsWindowQueue() { return true; }

std::string GetEnvironment(const std::string& name) {
  std::wstring w = Widen(name);
  DWORD n = GetEnvironmentVariableW(w.c_str(), nullptr, 0);
  if (n == 0) return "";
  std::wstring value(n, L'\0');
  n = GetEnvironmentVariableW(w.c_str(), value.data(), n);
  value.resize(n);
  return Narrow(value);
}

// Both the system's copy (inherited by started programs) and the C
// run-time's (read by getenv) are set.
void SetEnvironment(const std::string& name, const std::string& value) {
  SetEnvironmentVariableW(Widen(name).c_str(), Widen(value).c_str());
  _wputenv_s(Widen(name).c_str(), Widen(value).c_str());
}

}  // namespace kal
