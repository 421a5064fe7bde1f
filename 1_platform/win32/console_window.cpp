// The console window: one top-level window of fixed size (80 x 25 cells of
// a fixed-pitch font). Present() keeps a copy of the grid and asks for a
// repaint; WM_PAINT draws the rows in runs of one attribute. Keys come from
// WM_KEYDOWN (keys without a character) and WM_CHAR (characters), are
// encoded as a terminal would send them, and wait in a buffer until the
// console reads them. Closing the window asks the program to stop.
#include "1_platform/win32/console_window.h"

#include <windows.h>

#include <string>

#include "0_base/console_grid.h"
#include "1_platform/automation.h"
#include "1_platform/stop_request.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

constexpr wchar_t kClassName[] = L"KaldorinConsole";
constexpr int kFontHeight = 20;

HWND g_console_window = nullptr;  // the one window while it is shown

// The xterm modifier parameter: 1 + Shift 1 + Alt 2 + Ctrl 4.
int ModifierParameter() {
  int m = 1;
  if (GetKeyState(VK_SHIFT) < 0) m += 1;
  if (GetKeyState(VK_MENU) < 0) m += 2;
  if (GetKeyState(VK_CONTROL) < 0) m += 4;
  return m;
}

// "CSI 1;m X" for keys named by a final letter, "CSI n;m ~" for the others.
std::string Letter(char final_letter, int mods) {
  if (mods == 1) return std::string("\x1b[") + final_letter;
  return "\x1b[1;" + std::to_string(mods) + final_letter;
}

std::string Tilde(int n, int mods) {
  if (mods == 1) return "\x1b[" + std::to_string(n) + "~";
  return "\x1b[" + std::to_string(n) + ";" + std::to_string(mods) + "~";
}

// The sequence of a key that gives no character; "" for the others.
std::string KeySequence(WPARAM vk) {
  int m = ModifierParameter();
  switch (vk) {
    case VK_UP: return Letter('A', m);
    case VK_DOWN: return Letter('B', m);
    case VK_RIGHT: return Letter('C', m);
    case VK_LEFT: return Letter('D', m);
    case VK_HOME: return Letter('H', m);
    case VK_END: return Letter('F', m);
    case VK_INSERT: return Tilde(2, m);
    case VK_DELETE: return Tilde(3, m);
    case VK_PRIOR: return Tilde(5, m);
    case VK_NEXT: return Tilde(6, m);
    case VK_F1: return Letter('P', m);
    case VK_F2: return Letter('Q', m);
    case VK_F3: return Letter('R', m);
    case VK_F4: return Letter('S', m);
    case VK_F5: return Tilde(15, m);
    case VK_F6: return Tilde(17, m);
    case VK_F7: return Tilde(18, m);
    case VK_F8: return Tilde(19, m);
    case VK_F9: return Tilde(20, m);
    case VK_F10: return Tilde(21, m);
    case VK_F11: return Tilde(23, m);
    case VK_F12: return Tilde(24, m);
    default: return "";
  }
}

std::string Utf8Of(wchar_t c) { return Narrow(std::wstring_view(&c, 1)); }

COLORREF ColourOf(const ConsoleGrid& grid, int index) {
  Rgb c = grid.ColourRgb(index);
  return RGB(c.r, c.g, c.b);
}

class ConsoleWindow : public ConsoleFrontEnd {
 public:
  ~ConsoleWindow() override { Restore(); }

  bool Create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ConsoleWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly when registered before
    font_ = CreateFontW(-kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    MeasureFont();
    RECT r{0, 0, cell_w_ * ConsoleGrid::kWidth, cell_h_ * ConsoleGrid::kHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&r, style, FALSE);
    hwnd_ = CreateWindowExW(0, kClassName, L"Kaldorin", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    g_console_window = hwnd_;
    SetConsoleWindowId(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd_)));
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    return true;
  }

  void OnWrite(std::string_view) override {}

  void Present(const ConsoleGrid& grid) override {
    grid_ = grid;
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    PlaceCaret();
  }

  void SetTitle(std::string_view title) override {
    if (hwnd_) SetWindowTextW(hwnd_, Widen(Latin1Utf8(title)).c_str());
  }

  void Bell() override { MessageBeep(MB_OK); }

  int InputFd() override { return -1; }

  int ReadInput(char* buf, int cap) override {
    if (closed_ && input_.empty()) return -1;
    int n = static_cast<int>(std::min<size_t>(input_.size(), static_cast<size_t>(cap)));
    input_.copy(buf, static_cast<size_t>(n));
    input_.erase(0, static_cast<size_t>(n));
    return n;
  }

  void ShowCaret(bool on) override {
    caret_wanted_ = on;
    PlaceCaret();
  }

  void Restore() override {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    if (g_console_window == hwnd_) {
      g_console_window = nullptr;
      SetConsoleWindowId(0);
    }
    hwnd_ = nullptr;
    if (font_) DeleteObject(font_);
    font_ = nullptr;
  }

  // Keys arrive as a terminal sends them: Enter is CR, Backspace is BS.
  bool TerminalKeys() const override { return true; }
  int EraseByte() const override { return 8; }

 private:
  static std::string Latin1Utf8(std::string_view latin1) {
    std::wstring w;
    for (unsigned char c : latin1) w.push_back(static_cast<wchar_t>(c));
    return Narrow(w);
  }

  void MeasureFont() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    cell_w_ = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 10;
    cell_h_ = tm.tmHeight > 0 ? tm.tmHeight : kFontHeight;
  }

  void PlaceCaret() {
    if (!hwnd_) return;
    bool show = caret_wanted_ && GetFocus() == hwnd_;
    if (show && !caret_shown_) {
      CreateCaret(hwnd_, nullptr, cell_w_, std::max(2, cell_h_ / 6));
      ::ShowCaret(hwnd_);
      caret_shown_ = true;
    } else if (!show && caret_shown_) {
      DestroyCaret();
      caret_shown_ = false;
    }
    if (caret_shown_) {
      int x = std::min(grid_.X(), grid_.width() - 1);
      SetCaretPos(x * cell_w_, grid_.Y() * cell_h_ + cell_h_ - std::max(2, cell_h_ / 6));
    }
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    HGDIOBJ old = SelectObject(dc, font_);
    for (int y = 0; y < grid_.height(); ++y) {
      int x = 0;
      while (x < grid_.width()) {
        uint8_t attr = grid_.ShownAttr(x, y);
        std::wstring run;
        int start = x;
        while (x < grid_.width() && grid_.ShownAttr(x, y) == attr) {
          run.push_back(static_cast<wchar_t>(static_cast<unsigned char>(grid_.ShownCell(x, y))));
          ++x;
        }
        SetTextColor(dc, ColourOf(grid_, attr & 15));
        SetBkColor(dc, ColourOf(grid_, attr >> 4));
        RECT cell{start * cell_w_, y * cell_h_, x * cell_w_, (y + 1) * cell_h_};
        ExtTextOutW(dc, cell.left, cell.top, ETO_OPAQUE | ETO_CLIPPED, &cell, run.data(),
                    static_cast<UINT>(run.size()), nullptr);
      }
    }
    SelectObject(dc, old);
    EndPaint(hwnd_, &ps);
  }

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_PAINT:
        Paint();
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        std::string seq = KeySequence(wp);
        if (!seq.empty()) {
          input_ += seq;
          return 0;
        }
        break;  // keys with characters come as WM_CHAR
      }
      case WM_CHAR:
        input_ += Utf8Of(static_cast<wchar_t>(wp));
        return 0;
      case WM_SYSCHAR:
        // Alt+character: Esc before it, as a terminal sends it.
        input_ += "\x1b" + Utf8Of(static_cast<wchar_t>(wp));
        return 0;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        PlaceCaret();
        return 0;
      case WM_CLOSE:
        closed_ = true;
        RequestStop(EndOf(EndReason::kInterrupted));
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    self->hwnd_ = hwnd;
    return self->Handle(msg, wp, lp);
  }

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int cell_w_ = 10, cell_h_ = kFontHeight;
  ConsoleGrid grid_;
  std::string input_;
  bool caret_wanted_ = false;
  bool caret_shown_ = false;
  bool closed_ = false;
};

}  // namespace

HWND ConsoleWindowHandle() { return g_console_window; }

std::unique_ptr<ConsoleFrontEnd> MakeConsoleWindow() {
  auto window = std::make_unique<ConsoleWindow>();
  if (!window->Create()) return nullptr;
  return window;
}

}  // namespace kal
