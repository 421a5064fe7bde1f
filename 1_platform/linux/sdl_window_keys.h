// SDL's keys and modifiers named as the window key bytes
// (1_platform/window_keys.h) name them.
#pragma once

#include <SDL.h>

namespace kal {

// The window key of an SDL key (kWinKeyNone for keys without one). The
// keypad's editing keys count as such while Num Lock is off.
int WindowKeyOf(SDL_Keycode sym, Uint16 mod);

// kWinMod* bits of SDL's modifiers.
unsigned WindowModsOf(Uint16 mod);

// SDL's mouse button numbers as the window's (0 left, 1 middle, 2 right;
// -1 for other buttons).
int WindowButtonOf(int sdl_button);

}  // namespace kal
