// The console's output code page is UTF-8 while the program runs; lines
// written beside the run's screen go to a console as wide text; console
// programs' text comes in the system's OEM code page.
#include "1_platform/console_code_page.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "0_base/latin1.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

bool IsConsole(HANDLE h) {
  DWORD mode = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

bool IsConsole(DWORD which) { return IsConsole(GetStdHandle(which)); }

// Length of a double-byte character's lead byte left alone at the end (0
// or 1); single-byte code pages have none.
size_t IncompleteDoubleByteTail(UINT code_page, std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    if (!IsDBCSLeadByteEx(code_page, static_cast<BYTE>(bytes[i]))) {
      ++i;
    } else if (i + 1 == bytes.size()) {
      return 1;
    } else {
      i += 2;
    }
  }
  return 0;
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

// The C library would write to a console through its own translation,
// which takes each UTF-8 byte for a character: a console gets wide text.
bool StandardStreamIsTerminal(int stream) { return IsConsole(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE); }

void WriteStandardText(int stream, std::string_view utf8) {
  std::fflush(stdout);
  std::fflush(stderr);
  HANDLE h = GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  if (IsConsole(h)) {
    std::wstring wide = Widen(utf8);
    constexpr size_t kChunk = 8192;
    for (size_t off = 0; off < wide.size();) {
      DWORD n = 0;
      DWORD want = static_cast<DWORD>(std::min(kChunk, wide.size() - off));
      if (!WriteConsoleW(h, wide.data() + off, want, &n, nullptr) || n == 0) return;
      off += n;
    }
    return;
  }
  for (size_t off = 0; off < utf8.size();) {
    DWORD n = 0;
    if (!WriteFile(h, utf8.data() + off, static_cast<DWORD>(utf8.size() - off), &n, nullptr) || n == 0) return;
    off += n;
  }
}

// A program started with pipes gets a console of its own, without a window
// (programs.cpp), whose code page is the system's OEM one: what it writes
// for a console comes in that code page, not in the UTF-8 this program's
// console is switched to.
std::string ConsoleProgramTextToUtf8(std::string* bytes) {
  UINT code_page = GetOEMCP();
  size_t tail = code_page == CP_UTF8 ? IncompleteUtf8Tail(*bytes) : IncompleteDoubleByteTail(code_page, *bytes);
  std::string whole = bytes->substr(0, bytes->size() - tail);
  bytes->erase(0, whole.size());
  if (code_page == CP_UTF8 || whole.empty()) return whole;
  int n = MultiByteToWideChar(code_page, 0, whole.data(), static_cast<int>(whole.size()), nullptr, 0);
  if (n <= 0) return Latin1ToUtf8(whole);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, whole.data(), static_cast<int>(whole.size()), wide.data(), n);
  return Narrow(wide);
}

}  // namespace kal
