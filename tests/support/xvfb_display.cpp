#include "tests/support/xvfb_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace kal::test {

namespace {

Display* D(void* p) { return static_cast<Display*>(p); }

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// Xvfb writes its display number to this descriptor once it accepts
// connections.
bool ReadDisplayNumber(int fd, std::string* number) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char c;
    ssize_t n = read(fd, &c, 1);
    if (n <= 0) return false;
    if (c == '\n') return !number->empty();
    number->push_back(c);
  }
  return false;
}

}  // namespace

bool XvfbDisplay::Start() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-ac",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  bool up = pid_ > 0 && ReadDisplayNumber(fds[0], &number);
  close(fds[0]);
  if (!up) {
    Stop();
    return false;
  }
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
  if (!display_) {
    Stop();
    return false;
  }
  XSetErrorHandler(IgnoreErrors);
  return true;
}

void XvfbDisplay::Stop() {
  if (display_) XCloseDisplay(D(display_));
  display_ = nullptr;
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (waitpid(pid_, &status, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
  }
  pid_ = -1;
}

bool XvfbDisplay::Capture(uint64_t window) {
  Display* d = D(display_);
  XWindowAttributes a;
  if (!d || !XGetWindowAttributes(d, window, &a)) return false;
  XImage* img = XGetImage(d, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!img) return false;
  width_ = a.width;
  height_ = a.height;
  pixels_.assign(static_cast<size_t>(width_) * height_ * 3, 0);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      unsigned long p = XGetPixel(img, x, y);
      char* out = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
      out[0] = static_cast<char>((p & img->red_mask) >> 16);
      out[1] = static_cast<char>((p & img->green_mask) >> 8);
      out[2] = static_cast<char>(p & img->blue_mask);
    }
  }
  XDestroyImage(img);
  return true;
}

Pixel XvfbDisplay::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {1, 2, 3};
  const char* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
  return {static_cast<uint8_t>(p[0]), static_cast<uint8_t>(p[1]), static_cast<uint8_t>(p[2])};
}

void XvfbDisplay::Focus(uint64_t window) {
  XWarpPointer(D(display_), None, window, 0, 0, 0, 0, 10, 10);
  XSetInputFocus(D(display_), window, RevertToParent, CurrentTime);
  Sync();
}

void XvfbDisplay::Key(const char* keysym_name, bool down) {
  Display* d = D(display_);
  KeyCode code = XKeysymToKeycode(d, XStringToKeysym(keysym_name));
  XTestFakeKeyEvent(d, code, down ? True : False, CurrentTime);
  Sync();
}

void XvfbDisplay::Tap(const char* keysym_name) {
  Key(keysym_name, true);
  Key(keysym_name, false);
}

void XvfbDisplay::Button(int button, bool down) {
  XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), down ? True : False, CurrentTime);
  Sync();
}

void XvfbDisplay::Resize(uint64_t window, int w, int h) {
  // At the screen's corner, so that the whole window can be captured.
  XMoveResizeWindow(D(display_), window, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
  Sync();
}

void XvfbDisplay::AskToClose(uint64_t window) {
  Display* d = D(display_);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &e);
  Sync();
}

void XvfbDisplay::Destroy(uint64_t window) {
  XDestroyWindow(D(display_), window);
  Sync();
}

void XvfbDisplay::KillOwner(uint64_t window) {
  XKillClient(D(display_), window);
  Sync();
}

uint64_t XvfbDisplay::FindWindow(const std::string& title) {
  Display* d = D(display_);
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return 0;
  uint64_t found = 0;
  for (unsigned i = 0; i < n && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(d, children[i], &name) && name) {
      if (title == name) found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

void XvfbDisplay::Sync() {
  if (display_) XSync(D(display_), False);
}

}  // namespace kal::test
