// The window front end: the console as a window of its own on the desktop,
// for users who read the screen with a large font, colours of their choice
// and a magnified strip, and for the braille chord keyboard, which needs the
// key releases that only a window gets.
//
// The window's events are taken whenever the display's connection has
// something (the event loop watches it) and whenever the program draws or
// looks for keys. Keys become terminal bytes (1_platform/window_keys.h) in a buffer;
// a pipe that holds one byte while the buffer is not empty is the input
// descriptor the console watches, so keys wake every wait as a terminal's
// would. Closing the window ends the program as the break key does, and so
// does another program destroying the window (the requests still on their
// way to it fail harmlessly, as X errors are ignored) or killing its
// connection to the display.
#include "1_platform/console_frontend.h"

#if KALDORIN_HAVE_WINDOW
#include <SDL.h>
#include <SDL_syswm.h>
#include <SDL_ttf.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "0_base/console_grid.h"
#include "0_base/latin1.h"
#include "1_platform/console_frontend.h"
#include "1_platform/automation.h"
#include "1_platform/event_loop.h"
#include "1_platform/linux/cell_font.h"
#include "1_platform/linux/window_canvas.h"
#include "1_platform/linux/sdl_window_keys.h"
#include "1_platform/module_entries.h"
#include "1_platform/platform.h"
#include "1_platform/stop_request.h"
#include "1_platform/window_keys.h"
#include "1_platform/window_layout.h"

namespace kal {
namespace {

// Keys typed ahead beyond this many bytes are dropped, as a full key queue
// drops them.
constexpr size_t kMaxPendingInput = 4096;

// The cell size when Talven.ini gives none, from the desktop's work area.
void DefaultCellSize(int* cw, int* ch) {
  SDL_Rect area{0, 0, 1024, 734};
  SDL_GetDisplayUsableBounds(0, &area);
  FitCellToWorkArea(area.w, area.h, ConsoleGrid::kWidth, ConsoleGrid::kHeight, cw, ch);
}

std::string CleanTitle(std::string_view title) { return Latin1ToUtf8(PrintableTitle(title)); }

int IgnoreXError(Display*, XErrorEvent*) { return 0; }
// Xlib's own report of a lost connection is left out: the program ends as a
// close does, with the close's message.
int QuietIOError(Display*) { return 0; }

class WindowFrontEnd : public ConsoleFrontEnd {
 public:
  // The display's descriptor is watched on loop.
  explicit WindowFrontEnd(Platform& platform) : platform_(platform), loop_(platform.loop) {}
  ~WindowFrontEnd() override {
    Restore();
    for (int fd : wake_)
      if (fd >= 0) close(fd);
  }

  bool Start(const WindowOptions& opts) {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // the window's own surface, sent by rectangles
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // A failed request (drawing into, or destroying, a window that was
    // destroyed from outside) must not end the program, as Xlib's own
    // handler would. Set before the library starts, which keeps the handler
    // it finds, passes errors on to it and puts it back when it ends.
    XSetErrorHandler(IgnoreXError);
    XSetIOErrorHandler(QuietIOError);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    video_ = true;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);  // to see the window destroyed
    if (!TTF_WasInit() && TTF_Init() != 0) return false;
    FontSource font = FindFont(opts.face, opts.weight);
    if (font.file.empty()) return false;
    int cw = opts.cell_width, ch = opts.cell_height;
    DefaultCellSize(&cw, &ch);
    const int columns = ConsoleGrid::kWidth, rows = ConsoleGrid::kHeight;
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN | (opts.maximised ? SDL_WINDOW_MAXIMIZED : 0);
    window_ = SDL_CreateWindow(CleanTitle(opts.title).c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               columns * cw, rows * ch, flags);
    if (!window_) return false;
    SDL_SetWindowMinimumSize(window_, columns * kMinCellWidth, rows * kMinCellHeight);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display_ = info.info.x11.display;
    // The connection killed from outside (as a window is killed with its
    // owner's connection) is told here instead of ending the process.
    XSetIOErrorExitHandler(display_, &WindowFrontEnd::ConnectionLost, this);
    window_id_ = info.info.x11.window;
    SetConsoleWindowId(platform_, window_id_);
    if (!canvas_.Open(window_, font, columns, rows, cw, ch)) return false;
    x_fd_ = ConnectionNumber(display_);
    loop_.Watch(x_fd_, [this] { Pump(); });
    Pump();
    return true;
  }

  void OnWrite(std::string_view) override {}

  void Present(const ConsoleGrid&) override {
    if (!Drawable() || !painter_) return;
    canvas_.Apply(painter_(false));
    AfterDrawing();
  }

  void SetFramePainter(FramePainter painter) override {
    painter_ = std::move(painter);
    if (Drawable() && painter_) canvas_.Apply(painter_(true));
  }

  void SetTitle(std::string_view title) override {
    if (Drawable()) SDL_SetWindowTitle(window_, CleanTitle(title).c_str());
  }

  void Bell() override {
    if (display_ && !lost_) XBell(display_, 0);
  }

  int InputFd() override { return wake_[0]; }

  int ReadInput(char* buf, int cap) override {
    Pump();
    int n = static_cast<int>(std::min(input_.size(), static_cast<size_t>(std::max(cap, 0))));
    std::copy_n(input_.data(), n, buf);
    input_.erase(0, static_cast<size_t>(n));
    if (input_.empty()) Unsignal();
    return n;
  }

  void SetKeyReleases(bool on) override { releases_ = on; }
  bool ReportsKeyReleases() const override { return releases_ && window_; }

  void ShowCaret(bool on) override {
    if (!Drawable()) return;
    canvas_.SetCaret(on);
    AfterDrawing();
  }

  bool ShowPicture(const Picture& picture, int x, int y) override {
    if (!Drawable()) return false;
    canvas_.SetPicture(&picture, x, y);
    AfterDrawing();
    return true;
  }

  void RemovePicture() override {
    if (!Drawable()) return;
    canvas_.SetPicture(nullptr, 0, 0);
    canvas_.ShowAll();
    AfterDrawing();
  }

  uint64_t WindowId() const override { return window_ ? window_id_ : 0; }

  // The window goes when the program ends. With the connection lost, the
  // library is left as it is: taking its window down would wait for an
  // answer from a display that is no longer there.
  void Restore() override {
    if (x_fd_ >= 0) loop_.Unwatch(x_fd_);
    x_fd_ = -1;
    canvas_.Close();
    if (display_ && !lost_) XSync(display_, False);  // finds a connection killed meanwhile
    if (window_) SetConsoleWindowId(platform_, 0);
    if (window_ && !lost_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    display_ = nullptr;
    if (video_ && !lost_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_ = false;
  }

  bool TerminalKeys() const override { return true; }

 private:
  // Drawing talks to the display, which may read events into the library's
  // queue, where the watched descriptor no longer shows them: take them now.
  void AfterDrawing() {
    if (!pumping_) Pump();
  }

  void Pump() {
    if (pumping_ || !window_ || lost_) return;
    pumping_ = true;
    SDL_Event e;
    while (window_ && !lost_ && SDL_PollEvent(&e)) Handle(e);
    pumping_ = false;
    if (lost_ && x_fd_ >= 0) loop_.Unwatch(x_fd_), x_fd_ = -1;
    if (!input_.empty()) Signal();
  }

  static void ConnectionLost(Display*, void* self) {
    auto* front = static_cast<WindowFrontEnd*>(self);
    front->lost_ = true;
    front->Gone();
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_KEYDOWN:
        // The modifiers as they were at this key, for the text it gives:
        // the keyboard's state now may be later than the event.
        key_mods_ = e.key.keysym.mod;
        Add(WindowKeyDown(WindowKeyOf(e.key.keysym.sym, e.key.keysym.mod), WindowModsOf(e.key.keysym.mod)));
        break;
      case SDL_KEYUP:
        if (releases_)
          Add(WindowKeyUp(WindowKeyOf(e.key.keysym.sym, e.key.keysym.mod), WindowModsOf(e.key.keysym.mod)));
        break;
      case SDL_TEXTINPUT:
        if (!TextTakenByKeyDown(WindowModsOf(key_mods_))) Add(e.text.text);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (ignore_click_) {
          ignore_click_ = false;
        } else {
          Add(WindowMouseButton(WindowButtonOf(e.button.button)));
        }
        break;
      case SDL_MOUSEWHEEL:
        Add(WindowWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y));
        break;
      case SDL_WINDOWEVENT:
        HandleWindow(e.window);
        break;
      case SDL_QUIT:
        RequestStop(platform_, EndOf(EndReason::kInterrupted));
        break;
      case SDL_SYSWMEVENT:
        if (IsDestroyed(*e.syswm.msg)) Gone();
        break;
      default:
        break;
    }
  }

  void HandleWindow(const SDL_WindowEvent& w) {
    if (destroyed_) return;
    switch (w.event) {
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        // A new cell size: the font is fitted again and every cell painted.
        if (canvas_.Relayout()) {
          if (painter_) canvas_.Apply(painter_(true));
          canvas_.ShowAll();
        }
        break;
      case SDL_WINDOWEVENT_EXPOSED:
        canvas_.ShowAll();
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        // The click that brought the window to the front is not a key.
        if (SDL_GetGlobalMouseState(nullptr, nullptr) != 0) ignore_click_ = true;
        break;
      case SDL_WINDOWEVENT_CLOSE:
        RequestStop(platform_, EndOf(EndReason::kInterrupted));
        break;
      default:
        break;
    }
  }

  // The window is there to draw in (not destroyed from outside).
  bool Drawable() const { return window_ && !destroyed_; }

  bool IsDestroyed(const SDL_SysWMmsg& m) const {
    return m.subsystem == SDL_SYSWM_X11 && m.msg.x11.event.type == DestroyNotify &&
           m.msg.x11.event.xdestroywindow.window == window_id_;
  }

  // Another program destroyed the window: the program ends as when it is
  // closed, and nothing is drawn any more.
  void Gone() {
    destroyed_ = true;
    RequestStop(platform_, EndOf(EndReason::kInterrupted));
  }

  void Add(const std::string& bytes) {
    if (bytes.empty() || input_.size() + bytes.size() > kMaxPendingInput) return;
    input_ += bytes;
  }

  void Signal() {
    if (signalled_) return;
    char c = 1;
    signalled_ = write(wake_[1], &c, 1) == 1;
  }

  void Unsignal() {
    char buf[16];
    while (read(wake_[0], buf, sizeof buf) > 0) {
    }
    signalled_ = false;
  }

  SDL_Window* window_ = nullptr;
  Display* display_ = nullptr;
  uint64_t window_id_ = 0;
  WindowCanvas canvas_;
  FramePainter painter_;
  std::string input_;
  int wake_[2] = {-1, -1};
  Platform& platform_;
  EventLoop& loop_;
  int x_fd_ = -1;
  bool video_ = false;
  bool pumping_ = false;
  bool signalled_ = false;
  bool releases_ = false;
  bool ignore_click_ = false;
  bool destroyed_ = false;
  bool lost_ = false;  // the connection to the display is gone
  Uint16 key_mods_ = 0;  // modifiers of the last key that went down
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h): the window, or nullptr
// when it cannot be opened.
extern "C" kal::ConsoleFrontEnd* kaldorin_make_window_front_end(kal::Platform& platform,
                                                                const kal::WindowOptions& opts) {
  if (!kal::DisplayAnnounced()) return nullptr;
  auto front = std::make_unique<kal::WindowFrontEnd>(platform);
  if (!front->Start(opts)) return nullptr;
  return front.release();
}

#endif  // KALDORIN_HAVE_WINDOW
