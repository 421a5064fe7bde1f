// Driving other programs on the desktop: synthesised keys and pointer
// events, the top-level windows with their titles, and the window that
// shows the console.
//
// Keys are named in one neutral vocabulary: virtual-key codes (8 Backspace,
// 13 Enter, 16 Shift, 17 Ctrl, 18 Alt, 33..40 the movement keys, 48..57 and
// 65..90 the digit and letter keys, 112..123 F1..F12 ...). A back end turns
// a code or a character into a key of its keyboard ("layout key", an opaque
// number) that SendKey presses or releases. The order of events and the
// pauses between them belong to the callers, so that they are the same on
// every back end.
//
// Back ends: X11 with XTest and the window manager's EWMH properties
// (1_platform/linux/x11_automation.cpp); a recording fake for tests
// (1_platform/fake/recording_desktop). Without a display every call fails
// and Availability() says why.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kal {

enum class DesktopAvailability {
  kReady,
  kNoDisplay,    // no display to talk to (DISPLAY unset or refused)
  kWaylandOnly,  // a Wayland session without an X server beside it
  kNoInputExtension,  // a display that does not take synthesised input
};

// A key of the keyboard and whether Shift must be held to get the
// character asked for.
struct LayoutKey {
  int key = 0;
  bool shift = false;
};

struct DesktopWindow {
  uint64_t id = 0;
  std::string title;  // Latin-1
  bool minimized = false;
};

enum class WindowAction { kClose, kRestore, kMaximize, kMinimize };

class DesktopAutomation {
 public:
  virtual ~DesktopAutomation() = default;

  // Opens the display on first use.
  virtual DesktopAvailability Availability() = 0;

  // The key that gives a virtual-key code; false when the keyboard has none.
  virtual bool KeyForVirtualKey(int vk, int* key) = 0;
  // The key (and shift) that types a Latin-1 character; a back end may bind
  // a spare key for the moment when the layout has none. False when the
  // character cannot be typed.
  virtual bool KeyForCharacter(uint8_t c, LayoutKey* key) = 0;
  virtual bool SendKey(int key, bool down) = 0;

  // The pointer, in screen pixels.
  virtual bool PointerPosition(int* x, int* y) = 0;
  virtual bool MovePointer(int x, int y) = 0;
  virtual bool SendLeftButton(bool down) = 0;

  // The active window's origin for window-relative coordinates: the left
  // edge of its client area, and the top edge of its frame plus 4 pixels.
  virtual bool ForegroundOrigin(int* x, int* y) = 0;
  // The active window's title (Latin-1); false when none is known.
  virtual bool ActiveWindowTitle(std::string* title) = 0;
  // Whether the active window is the console's own.
  virtual bool ConsoleIsActive() = 0;
  // Managed top-level windows, topmost first; windows without a title and
  // windows that are neither shown nor minimised are left out.
  virtual bool TopLevelWindows(std::vector<DesktopWindow>* windows) = 0;
  virtual bool ActOnWindow(uint64_t id, WindowAction action) = 0;
  // The window that shows the console (see SetConsoleWindowId); 0 when
  // unknown.
  virtual uint64_t ConsoleWindowId() = 0;
};

struct Platform;

// The run's back end, kept in its platform state: the real one, made on
// first use, unless a test installs another.
DesktopAutomation& Desktop(Platform& platform);
void SetDesktopAutomation(Platform& platform, std::unique_ptr<DesktopAutomation> desktop);  // nullptr: the real one
std::unique_ptr<DesktopAutomation> MakeX11Automation(Platform& platform);
// The host's real back end: X11 on Linux, the Windows desktop on Windows;
// it works on the platform state's desktop connection.
std::unique_ptr<DesktopAutomation> MakeHostAutomation(Platform& platform);

// The console's own window. A front end that draws the console in a window
// of its own names it here; otherwise the terminal's window is taken from
// WINDOWID, or failing that the window that was active when the program
// started (NoteConsoleWindowAtStart).
void SetConsoleWindowId(Platform& platform, uint64_t id);
uint64_t ExplicitConsoleWindowId(const Platform& platform);  // 0 when none was set
// Remembers the active window when neither a front end nor WINDOWID names
// the console's window; does nothing without a display.
void NoteConsoleWindowAtStart(Platform& platform);

}  // namespace kal
