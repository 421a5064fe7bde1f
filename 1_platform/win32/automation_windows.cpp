// Driving other programs on the Windows desktop: SendInput for keys and the
// pointer, EnumWindows for the top-level windows. Virtual-key codes are
// Windows' own, so a code is its own key; a character's key and shift state
// come from the keyboard layout (VkKeyScan).
#include "1_platform/automation.h"

#include <windows.h>

#include "0_base/latin1.h"
#include "1_platform/win32/console_window.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

HWND AsWindow(uint64_t id) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(id)); }
uint64_t AsId(HWND w) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(w)); }

std::string TitleOf(HWND w) {
  wchar_t title[512];
  int n = GetWindowTextW(w, title, 512);
  return Utf8ToLatin1(Narrow(std::wstring_view(title, n > 0 ? static_cast<size_t>(n) : 0)));
}

BOOL CALLBACK CollectWindow(HWND w, LPARAM param) {
  auto* windows = reinterpret_cast<std::vector<DesktopWindow>*>(param);
  if (GetWindow(w, GW_OWNER) != nullptr) return TRUE;  // dialogs and tool windows of others
  bool minimized = IsIconic(w) != 0;
  if (!IsWindowVisible(w) && !minimized) return TRUE;
  std::string title = TitleOf(w);
  if (title.empty()) return TRUE;
  windows->push_back({AsId(w), title, minimized});
  return TRUE;
}

class WindowsAutomation : public DesktopAutomation {
 public:
  // The console's window is the one a front end named in that platform
  // state, when one did.
  explicit WindowsAutomation(const Platform& platform) : platform_(platform) {}
  DesktopAvailability Availability() override { return DesktopAvailability::kReady; }

  bool KeyForVirtualKey(int vk, int* key) override {
    if (vk <= 0 || vk > 254) return false;
    *key = vk;
    return true;
  }

  bool KeyForCharacter(uint8_t c, LayoutKey* key) override {
    SHORT scan = VkKeyScanW(static_cast<wchar_t>(c));
    if (scan == -1) return false;
    // Characters that need Ctrl or Alt (AltGr) as well cannot be typed by
    // a key and Shift alone.
    if (HIBYTE(scan) & 6) return false;
    key->key = LOBYTE(scan);
    key->shift = (HIBYTE(scan) & 1) != 0;
    return true;
  }

  bool SendKey(int key, bool down) override {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(key);
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (IsExtended(key)) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return SendInput(1, &in, sizeof in) == 1;
  }

  bool PointerPosition(int* x, int* y) override {
    POINT p;
    if (!GetCursorPos(&p)) return false;
    *x = p.x;
    *y = p.y;
    return true;
  }

  bool MovePointer(int x, int y) override { return SetCursorPos(x, y) != 0; }

  bool SendLeftButton(bool down) override {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return SendInput(1, &in, sizeof in) == 1;
  }

  bool ForegroundOrigin(int* x, int* y) override {
    HWND w = GetForegroundWindow();
    RECT frame;
    POINT client{0, 0};
    if (!w || !GetWindowRect(w, &frame) || !ClientToScreen(w, &client)) return false;
    *x = client.x;
    *y = frame.top + 4;
    return true;
  }

  bool ActiveWindowTitle(std::string* title) override {
    HWND w = GetForegroundWindow();
    if (!w) return false;
    *title = TitleOf(w);
    return true;
  }

  bool ConsoleIsActive() override {
    uint64_t console = ConsoleWindowId();
    return console != 0 && AsId(GetForegroundWindow()) == console;
  }

  bool TopLevelWindows(std::vector<DesktopWindow>* windows) override {
    windows->clear();
    // EnumWindows gives the windows in Z order, topmost first.
    return EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(windows)) != 0;
  }

  bool ActOnWindow(uint64_t id, WindowAction action) override {
    HWND w = AsWindow(id);
    if (!IsWindow(w)) return false;
    switch (action) {
      case WindowAction::kClose:
        return PostMessageW(w, WM_CLOSE, 0, 0) != 0;
      case WindowAction::kRestore:
        ShowWindow(w, SW_RESTORE);
        SetForegroundWindow(w);
        return true;
      case WindowAction::kMaximize:
        ShowWindow(w, SW_MAXIMIZE);
        SetForegroundWindow(w);
        return true;
      case WindowAction::kMinimize:
        ShowWindow(w, SW_MINIMIZE);
        return true;
    }
    return false;
  }

  uint64_t ConsoleWindowId() override {
    if (uint64_t id = ExplicitConsoleWindowId(platform_)) return id;
    HWND w = ConsoleWindowHandle();
    if (!w) w = GetConsoleWindow();
    return AsId(w);
  }

 private:
  // Keys that the keyboard sends with the extended prefix.
  static bool IsExtended(int vk) {
    return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE || vk == VK_RMENU ||
           vk == VK_RCONTROL || vk == VK_DIVIDE || vk == VK_NUMLOCK;
  }

  const Platform& platform_;
};

}  // namespace

std::unique_ptr<DesktopAutomation> MakeHostAutomation(Platform& platform) {
  return std::make_unique<WindowsAutomation>(platform);
}

// The console's window is the program's own window when it has one, and
// the console's otherwise; nothing needs noting at the start.
void NoteConsoleWindowAtStart(Platform&) {}

}  // namespace kal
