// The console window: one top-level window whose inside is the 80 x 25
// cells, resizable (the font follows the cell size) and maximised when
// Talven.ini says so. What it shows is kept in a GDI canvas
// (gdi_canvas.h), brought up to date from the console's frames.
//
// Keys come from the key messages (WM_KEYDOWN for named keys and keys held
// with Ctrl or the left Alt, WM_KEYUP for the chord keyboard's releases)
// and from WM_CHAR (text, which keeps the layout's accents); mouse buttons
// and the wheel from their messages. All become terminal bytes in a buffer
// that the console reads; the event loop's wait wakes for every message,
// so a key ends any wait. Closing the window asks the program to stop.
#include "1_platform/win32/console_window.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "0_base/console_grid.h"
#include "1_platform/automation.h"
#include "1_platform/stop_request.h"
#include "1_platform/win32/gdi_canvas.h"
#include "1_platform/win32/gdi_cell_font.h"
#include "1_platform/win32/win_window_keys.h"
#include "1_platform/win32/wide.h"
#include "1_platform/window_keys.h"
#include "1_platform/window_layout.h"

namespace kal {
namespace {

constexpr wchar_t kClassName[] = L"KaldorinConsole";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
// Keys typed ahead beyond this many bytes are dropped, as a full key queue
// drops them.
constexpr size_t kMaxPendingInput = 4096;

HWND g_console_window = nullptr;  // the one window while it is shown

std::wstring TitleText(std::string_view latin1) {
  std::wstring w;
  for (unsigned char c : PrintableTitle(latin1)) w.push_back(static_cast<wchar_t>(c));
  return w;
}

// The cell size when Talven.ini gives none, from the desktop's work area.
void DefaultCellSize(int* cw, int* ch) {
  RECT area{0, 0, 1024, 734};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  FitCellToWorkArea(area.right - area.left, area.bottom - area.top, ConsoleGrid::kWidth, ConsoleGrid::kHeight, cw,
                    ch);
}

class ConsoleWindow : public ConsoleFrontEnd {
 public:
  explicit ConsoleWindow(Platform& platform) : platform_(platform) {}
  ~ConsoleWindow() override { Restore(); }

  bool Create(const WindowOptions& opts) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ConsoleWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;  // the canvas paints every pixel
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly when registered before
    int cw = opts.cell_width, ch = opts.cell_height;
    DefaultCellSize(&cw, &ch);
    const int columns = ConsoleGrid::kWidth, rows = ConsoleGrid::kHeight;
    RECT r{0, 0, cw * columns, ch * rows};
    AdjustWindowRect(&r, kStyle, FALSE);
    hwnd_ = CreateWindowExW(0, kClassName, TitleText(opts.title).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    if (!canvas_.Open(hwnd_, ChooseFace(opts.face), opts.weight, columns, rows, cw, ch)) return false;
    g_console_window = hwnd_;
    SetConsoleWindowId(platform_, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd_)));
    ShowWindow(hwnd_, opts.maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
    return true;
  }

  void OnWrite(std::string_view) override {}

  void Present(const ConsoleGrid&) override {
    if (hwnd_ && painter_) canvas_.Apply(painter_(false));
  }

  void SetFramePainter(FramePainter painter) override {
    painter_ = std::move(painter);
    if (hwnd_ && painter_) canvas_.Apply(painter_(true));
  }

  void SetTitle(std::string_view title) override {
    if (hwnd_) SetWindowTextW(hwnd_, TitleText(title).c_str());
  }

  void Bell() override { MessageBeep(MB_OK); }

  int InputFd() override { return -1; }

  int ReadInput(char* buf, int cap) override {
    if (closed_ && input_.empty()) return -1;
    int n = static_cast<int>(std::min(input_.size(), static_cast<size_t>(std::max(cap, 0))));
    input_.copy(buf, static_cast<size_t>(n));
    input_.erase(0, static_cast<size_t>(n));
    return n;
  }

  void SetKeyReleases(bool on) override { releases_ = on; }
  bool ReportsKeyReleases() const override { return releases_ && hwnd_; }

  void ShowCaret(bool on) override {
    if (hwnd_) canvas_.SetCaret(on);
  }

  bool ShowPicture(const Picture& picture, int x, int y) override {
    if (!hwnd_) return false;
    canvas_.SetPicture(&picture, x, y);
    return true;
  }

  void RemovePicture() override {
    if (hwnd_) canvas_.SetPicture(nullptr, 0, 0);
  }

  uint64_t WindowId() const override { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd_)); }

  void Restore() override {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    canvas_.Close();
    DestroyWindow(hwnd_);
    if (g_console_window == hwnd_) {
      g_console_window = nullptr;
      SetConsoleWindowId(platform_, 0);
    }
    hwnd_ = nullptr;
  }

  // Keys arrive as a terminal sends them, Backspace as DEL.
  bool TerminalKeys() const override { return true; }

 private:
  void Add(const std::string& bytes) {
    if (bytes.empty() || input_.size() + bytes.size() > kMaxPendingInput) return;
    input_ += bytes;
  }

  // Text of WM_CHAR: control characters came as keys already, and so did
  // characters typed with Ctrl or the left Alt.
  void AddText(WPARAM wp) {
    wchar_t c = static_cast<wchar_t>(wp);
    if (c < 32 || c == 127 || TextTakenByKeyDown(key_mods_)) return;
    Add(Narrow(std::wstring_view(&c, 1)));
  }

  void Resized(int w, int h) {
    if (w <= 0 || h <= 0) return;  // minimised
    if (canvas_.Relayout(w, h)) {
      if (painter_) canvas_.Apply(painter_(true));
      canvas_.ShowAll();
    }
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    canvas_.PaintTo(dc, ps.rcPaint);
    EndPaint(hwnd_, &ps);
  }

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_PAINT:
        Paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_SIZE:
        Resized(LOWORD(lp), HIWORD(lp));
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        key_mods_ = WindowModsNow();
        // Alt+F4 closes the window, as everywhere on the desktop.
        if (wp == VK_F4 && (key_mods_ & kWinModLeftAlt)) break;
        Add(WindowKeyDown(WindowKeyOfVirtualKey(wp), key_mods_));
        return 0;
      case WM_KEYUP:
      case WM_SYSKEYUP:
        if (releases_) Add(WindowKeyUp(WindowKeyOfVirtualKey(wp), WindowModsNow()));
        return 0;
      case WM_CHAR:
      case WM_SYSCHAR:
        AddText(wp);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDOWN:
        if (ignore_click_) {
          ignore_click_ = false;
        } else {
          Add(WindowMouseButton(msg == WM_LBUTTONDOWN ? 0 : msg == WM_MBUTTONDOWN ? 1 : 2));
        }
        return 0;
      case WM_MOUSEWHEEL:
        Add(WindowWheel(GET_WHEEL_DELTA_WPARAM(wp)));
        return 0;
      case WM_MOUSEACTIVATE:
        // The click that brings the window to the front is not a key.
        if (GetForegroundWindow() != hwnd_) ignore_click_ = true;
        return MA_ACTIVATE;
      case WM_CLOSE:
        closed_ = true;
        RequestStop(platform_, EndOf(EndReason::kInterrupted));
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
  GdiCanvas canvas_;
  FramePainter painter_;
  std::string input_;
  unsigned key_mods_ = 0;  // modifiers of the last key that went down
  bool releases_ = false;
  bool ignore_click_ = false;
  bool closed_ = false;
  Platform& platform_;  // the run's: the window's id and the stop when it is closed
};

}  // namespace

HWND ConsoleWindowHandle() { return g_console_window; }

std::unique_ptr<ConsoleFrontEnd> MakeConsoleWindow(Platform& platform, const WindowOptions& opts) {
  auto window = std::make_unique<ConsoleWindow>(platform);
  if (!window->Create(opts)) return nullptr;
  return window;
}

}  // namespace kal
