// A private X display for window tests: an Xvfb server started by the test
// on a display number of its own choosing, stopped by its process id. The
// test talks to it through a connection of its own: screenshots of a window
// (pixels read back) and keys and mouse buttons sent with XTest, pressed and
// released separately, as a person's hands would.
#pragma once

#include <cstdint>
#include <string>

namespace kal::test {

struct Pixel {
  uint8_t r, g, b;
  bool operator==(const Pixel&) const = default;
};

class XvfbDisplay {
 public:
  XvfbDisplay() = default;
  ~XvfbDisplay() { Stop(); }
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  // Starts Xvfb (1024x768, 24 bits) and connects; false when Xvfb is not
  // installed or did not come up.
  bool Start();
  void Stop();
  // ":N", for DISPLAY.
  const std::string& name() const { return name_; }

  // A picture of a window's contents; false when it cannot be taken.
  bool Capture(uint64_t window);
  int width() const { return width_; }
  int height() const { return height_; }
  Pixel At(int x, int y) const;

  // Input to the window with the focus (given with Focus first).
  void Focus(uint64_t window);
  void Key(const char* keysym_name, bool down);
  void Tap(const char* keysym_name);
  void Button(int button, bool down);
  void Resize(uint64_t window, int w, int h);
  // As a window manager's close box does: asks the window to close
  // (WM_DELETE_WINDOW).
  void AskToClose(uint64_t window);
  // Destroys the window from outside, as another program may.
  void Destroy(uint64_t window);
  // Kills the connection of the window's owner, as xkill does.
  void KillOwner(uint64_t window);
  // The top-level window whose name is title, 0 when there is none.
  uint64_t FindWindow(const std::string& title);
  void Sync();

 private:
  int pid_ = -1;
  std::string name_;
  void* display_ = nullptr;  // Display*
  int width_ = 0, height_ = 0;
  std::string pixels_;       // RGB
};

}  // namespace kal::test
