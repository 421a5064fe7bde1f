// The window's keys and mouse as the bytes a terminal sends for them, so
// that the console's one decoder reads them: xterm's sequences for the
// function, arrow and editing keys (with the modifier parameter), the
// progressive keyboard protocol's "CSI code;mods u" for Enter, Backspace,
// Esc and keys held with Ctrl or Alt (and ":3" for a release), SGR reports
// for mouse buttons and the wheel. Text comes from the window's text input,
// in UTF-8, which keeps the keyboard layout's accents.
#pragma once

#include <SDL.h>

#include <string>

namespace kal {

// A key went down: its bytes, or empty when the key's text input will give
// it (or it gives nothing).
std::string EncodeKeyDown(SDL_Keycode sym, Uint16 mod);

// A key went up: its release report, or empty for a key the chord keyboard
// has no use for.
std::string EncodeKeyUp(SDL_Keycode sym, Uint16 mod);

// Text input is not a key of its own while Ctrl or the left Alt is held:
// the key-down gave the combination already.
bool TextTakenByKeyDown(Uint16 mod);

// Mouse buttons (SDL_BUTTON_LEFT, _MIDDLE, _RIGHT) and the wheel (positive:
// turned away from the user).
std::string EncodeMouseButton(int button);
std::string EncodeWheel(int dy);

}  // namespace kal
