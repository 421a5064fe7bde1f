// The Windows clipboard as Unicode text, converted to and from Latin-1
// (characters outside Latin-1 become '?').
#include "1_platform/desktop_clipboard.h"

#include <windows.h>

#include <cstring>

#include "1_platform/win32/console_window.h"

namespace kal {
namespace {

// The clipboard may be held by another program for a moment.
bool OpenClipboardSoon() {
  for (int i = 0; i < 20; ++i) {
    if (OpenClipboard(ConsoleWindowHandle())) return true;
    Sleep(10);
  }
  return false;
}

class WindowsClipboard : public DesktopClipboard {
 public:
  bool Put(std::string_view latin1) override {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (latin1.size() + 1) * sizeof(wchar_t));
    if (!mem) return false;
    auto* w = static_cast<wchar_t*>(GlobalLock(mem));
    for (size_t i = 0; i < latin1.size(); ++i) w[i] = static_cast<wchar_t>(static_cast<unsigned char>(latin1[i]));
    w[latin1.size()] = 0;
    GlobalUnlock(mem);
    if (!OpenClipboardSoon()) {
      GlobalFree(mem);
      return false;
    }
    EmptyClipboard();
    bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    if (!ok) GlobalFree(mem);
    return ok;
  }

  bool Get(std::string* latin1, size_t max_chars) override {
    latin1->clear();
    if (!OpenClipboardSoon()) return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data) {
      if (const auto* w = static_cast<const wchar_t*>(GlobalLock(data))) {
        for (size_t i = 0; w[i] && latin1->size() < max_chars; ++i)
          latin1->push_back(w[i] < 0x100 ? static_cast<char>(w[i]) : '?');
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    return true;
  }
};

}  // namespace

std::unique_ptr<DesktopClipboard> MakeHostClipboard(Platform&) { return std::make_unique<WindowsClipboard>(); }

}  // namespace kal
