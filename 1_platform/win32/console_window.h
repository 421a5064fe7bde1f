// The console's own window on Windows, drawn with GDI.
#pragma once

#include <windows.h>

#include <memory>

#include "1_platform/console_frontend.h"

namespace kal {

// The console as a window of its own: the cells painted through the
// console's frames in the font and size Talven.ini names, the caret, the
// magnified strip, pictures, keys with their releases for the chord
// keyboard, and the mouse. Keys reach the key decoder as the bytes a
// terminal sends (1_platform/window_keys.h), so that they decode to the same
// scan codes as on Linux. nullptr when the window cannot be made.
std::unique_ptr<ConsoleFrontEnd> MakeConsoleWindow(Platform& platform, const WindowOptions& opts);

// The window while it is shown; nullptr otherwise (headless runs).
HWND ConsoleWindowHandle();

}  // namespace kal
