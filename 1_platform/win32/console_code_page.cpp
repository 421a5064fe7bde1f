// The console's output code page is UTF-8 while the program runs.
#include "1_platform/console_code_page.h"

#include <windows.h>

namespace kal {
namespace {

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

}  // namespace

ConsoleCodePage::ConsoleCodePage() {
  if (!IsConsole(STD_OUTPUT_HANDLE) && !IsConsole(STD_ERROR_HANDLE)) return;
  UINT now = GetConsoleOutputCP();
  if (now == 0 || now == CP_UTF8) return;
  if (SetConsoleOutputCP(CP_UTF8)) previous_ = now;
}

ConsoleCodePage::~ConsoleCodePage() {
  if (previous_ != 0) SetConsoleOutputCP(previous_);
}

}  // namespace kal
