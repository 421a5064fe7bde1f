// Whether a screen reader is running on the desktop, asked once when the
// program starts: a reader speaks every line a terminal shows, so the
// program tells the user how to keep the two voices apart.
#pragma once

namespace kal {

// On Linux, the accessibility bus's status (its ScreenReaderEnabled
// property, asked on the session bus without starting the accessibility
// bus when it is not running); on Windows, the system's screen-reader flag.
// False when there is no desktop to ask or it does not answer.
bool ScreenReaderRunning();

}  // namespace kal
