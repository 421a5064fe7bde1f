// The accessibility tree of the desktop's programs: which control has the
// focus, what it is called, what it is, its state and value, and where it
// is on the screen.
//
// Roles are given as the numbers scripts compare with: the role numbers of
// the classic accessibility interface of the other platform (9 window, 12
// menu item, 42 editable text, 43 push button, 44 check box ...), mapped
// from the back end's own roles in one table of the back end. A role that
// has no counterpart there gets 8, the number a script also gets for a role
// that is not a plain number; 0 means no object.
//
// Back ends: on Windows the classic interface itself (oleacc: events through
// a WinEvent hook on the loop's thread, 1_platform/win32/msaa_accessibility.cpp);
// elsewhere AT-SPI2 (1_platform/linux/atspi_accessibility.cpp), whose calls
// block and whose events arrive through a main loop of its own; it runs on
// one worker thread, and everything it finds reaches the program through
// the event pump: events are handed to the sink on the loop's thread, and
// the calls below wait through the pump (a stop request ends the wait).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kal {

struct AccessibleProperties {
  int role_code = 0;
  std::string role_text;  // the role in words, Latin-1
  std::string name;       // Latin-1
  std::string value;      // a text field's text, a slider's number ...
  bool checked = false;
  bool unavailable = false;  // disabled
  int left = 0, top = 0, width = 0, height = 0;
};

enum class AccessibilityEventKind {
  kForeground = 3,   // a window became the active one
  kFocus = 0x8005,   // a control took the keyboard focus
};

struct AccessibilityEvent {
  AccessibilityEventKind kind = AccessibilityEventKind::kFocus;
  bool have_object = false;  // the object could be read when it happened
  AccessibleProperties object;
};

using AccessibilitySink = std::function<void(const AccessibilityEvent&)>;

class Accessibility {
 public:
  virtual ~Accessibility() = default;
  // Connects on first use; false when the accessibility bus cannot be
  // reached.
  virtual bool Available() = 0;
  // Focus and active-window events go to the sink, on the loop's thread,
  // from now on until StopMonitoring. The object of each event is read as
  // it happens, since it may be gone when the script looks.
  virtual bool StartMonitoring(AccessibilitySink sink) = 0;
  virtual void StopMonitoring() = 0;
  // The deepest object at a screen point, in the active window first;
  // false when there is none.
  virtual bool ObjectAtPoint(int x, int y, AccessibleProperties* out) = 0;
};

class EventLoop;
struct Platform;

// The run's back end, kept in its platform state: the host's, made on first
// use, unless a test installs another.
Accessibility& TheAccessibility(Platform& platform);
void SetAccessibility(Platform& platform, std::unique_ptr<Accessibility> a);  // nullptr: the real one
// The host's back end posts what its own thread learns to the platform
// state's loop, and a wait of its ends when the run is asked to stop.
std::unique_ptr<Accessibility> MakeHostAccessibility(Platform& platform);

}  // namespace kal
