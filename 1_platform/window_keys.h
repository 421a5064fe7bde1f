// A window's keys and mouse as the bytes a terminal sends for them, the
// same whatever window system the keys came from, so that the console's one
// decoder reads them and gives the same scan codes: xterm's sequences for
// the function, arrow and editing keys (with the modifier parameter), the
// progressive keyboard protocol's "CSI code;mods u" for Enter, Backspace,
// Esc and keys held with Ctrl or Alt (and ":3" for a release), SGR reports
// for mouse buttons and the wheel. Plain text is the window's own text
// input, which keeps the keyboard layout's accents; a back end only names
// its keys with the codes below.
#pragma once

#include <string>

namespace kal {

// A key: printable ASCII 32-126 stands for itself (letters in lower case:
// the key, not the text it gives); the others are named.
enum WindowKey : int {
  kWinKeyNone = 0,
  kWinKeyF1 = 0x100,  // F1 ... F12 follow in order
  kWinKeyF12 = kWinKeyF1 + 11,
  kWinKeyUp = 0x120,
  kWinKeyDown,
  kWinKeyRight,
  kWinKeyLeft,
  kWinKeyHome,
  kWinKeyEnd,
  kWinKeyInsert,
  kWinKeyDelete,
  kWinKeyPageUp,
  kWinKeyPageDown,
  kWinKeyEnter,
  kWinKeyBackspace,
  kWinKeyEscape,
  kWinKeyTab,
  kWinKeyBreak,  // Pause/Break: only held with Ctrl is it a key
};

// Modifiers held with a key. The right Alt is the layout's AltGr, whose
// characters come as text.
enum : unsigned { kWinModShift = 1, kWinModCtrl = 2, kWinModLeftAlt = 4, kWinModRightAlt = 8 };

// A key went down: its bytes, or empty when the key's text input will give
// it (or it gives nothing).
std::string WindowKeyDown(int key, unsigned mods);

// A key went up: its release report, or empty for a key the chord keyboard
// has no use for.
std::string WindowKeyUp(int key, unsigned mods);

// Text input is not a key of its own while Ctrl or the left Alt is held:
// the key going down gave the combination already.
bool TextTakenByKeyDown(unsigned mods);

// Mouse buttons: 0 left, 1 middle, 2 right; the wheel: positive when turned
// away from the user.
std::string WindowMouseButton(int button);
std::string WindowWheel(int dy);

}  // namespace kal
