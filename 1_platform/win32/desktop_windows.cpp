// The desktop on Windows: the foreground window compared with the console's
// own window (or, in a headless run inside a console, the console's).
#include "1_platform/desktop.h"

#include <windows.h>

#include "0_base/latin1.h"
#include "1_platform/win32/console_window.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

HWND OurWindow() {
  HWND w = ConsoleWindowHandle();
  return w ? w : GetConsoleWindow();
}

}  // namespace

bool QueryForegroundWindow(Platform&, ForegroundWindow* w) {
  HWND ours = OurWindow();
  HWND front = GetForegroundWindow();
  if (!ours || !front) return false;
  w->is_console = front == ours;
  wchar_t title[512];
  int n = GetWindowTextW(front, title, 512);
  w->title = Utf8ToLatin1(Narrow(std::wstring_view(title, n > 0 ? static_cast<size_t>(n) : 0)));
  return true;
}

bool MinimizeConsoleWindow(Platform&) {
  HWND ours = OurWindow();
  return ours && ShowWindow(ours, SW_MINIMIZE) >= 0;
}

bool RestoreConsoleWindow(Platform&) {
  HWND ours = OurWindow();
  if (!ours) return false;
  ShowWindow(ours, SW_RESTORE);
  SetForegroundWindow(ours);
  return true;
}

}  // namespace kal
