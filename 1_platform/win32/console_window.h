// The console's own window on Windows, drawn with GDI.
#pragma once

#include <windows.h>

#include <memory>

#include "1_platform/console_frontend.h"

namespace kal {

// A window showing the grid's cells in the colour table's colours, with a
// caret at the cursor while a key is awaited. Keys reach the key decoder as
// the escape sequences of an xterm-compatible terminal, modifiers included,
// so that they decode to the same scan codes as on Linux. nullptr when the
// window cannot be made (no desktop).
std::unique_ptr<ConsoleFrontEnd> MakeConsoleWindow();

// The window while it is shown; nullptr otherwise (headless runs).
HWND ConsoleWindowHandle();

}  // namespace kal
