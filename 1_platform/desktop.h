// The desktop around the console, when there is one: an X display, with the
// terminal's own window named by WINDOWID. Without a display every call
// answers "unknown" or does nothing, and callers decide by what they know
// themselves (whether a program holds the terminal).
#pragma once

#include <string>

namespace kal {

struct Platform;

struct ForegroundWindow {
  bool is_console = false;  // the active window is the console's window
  std::string title;        // its title, Latin-1
};

// Fills *w from the display; false when there is no display, the console's
// window is not known (no WINDOWID) or the display does not tell which
// window is active.
bool QueryForegroundWindow(Platform& platform, ForegroundWindow* w);

// Iconifies / restores and raises the console's window; false when there is
// no display or no known window of the console. The display and the
// console's window are the platform state's.
bool MinimizeConsoleWindow(Platform& platform);
bool RestoreConsoleWindow(Platform& platform);

}  // namespace kal
