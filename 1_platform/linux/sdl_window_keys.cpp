// SDL keys to window keys.
#if KALDORIN_HAVE_WINDOW
#include "1_platform/linux/sdl_window_keys.h"

#include "1_platform/window_keys.h"

namespace kal {

namespace {

// The keypad's editing keys while Num Lock is off.
SDL_Keycode KeypadAsEditing(SDL_Keycode sym, Uint16 mod) {
  if (mod & KMOD_NUM) return sym;
  switch (sym) {
    case SDLK_KP_8: return SDLK_UP;
    case SDLK_KP_2: return SDLK_DOWN;
    case SDLK_KP_4: return SDLK_LEFT;
    case SDLK_KP_6: return SDLK_RIGHT;
    case SDLK_KP_7: return SDLK_HOME;
    case SDLK_KP_1: return SDLK_END;
    case SDLK_KP_9: return SDLK_PAGEUP;
    case SDLK_KP_3: return SDLK_PAGEDOWN;
    case SDLK_KP_0: return SDLK_INSERT;
    case SDLK_KP_PERIOD: return SDLK_DELETE;
    default: return sym;
  }
}

}  // namespace

int WindowKeyOf(SDL_Keycode sym, Uint16 mod) {
  sym = KeypadAsEditing(sym, mod);
  if (sym >= 32 && sym < 127) return static_cast<int>(sym);
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return kWinKeyF1 + static_cast<int>(sym - SDLK_F1);
  switch (sym) {
    case SDLK_UP: return kWinKeyUp;
    case SDLK_DOWN: return kWinKeyDown;
    case SDLK_RIGHT: return kWinKeyRight;
    case SDLK_LEFT: return kWinKeyLeft;
    case SDLK_HOME: return kWinKeyHome;
    case SDLK_END: return kWinKeyEnd;
    case SDLK_INSERT: return kWinKeyInsert;
    case SDLK_DELETE: return kWinKeyDelete;
    case SDLK_PAGEUP: return kWinKeyPageUp;
    case SDLK_PAGEDOWN: return kWinKeyPageDown;
    case SDLK_RETURN: case SDLK_KP_ENTER: return kWinKeyEnter;
    case SDLK_BACKSPACE: return kWinKeyBackspace;
    case SDLK_ESCAPE: return kWinKeyEscape;
    case SDLK_TAB: return kWinKeyTab;
    case SDLK_PAUSE: case SDLK_CANCEL: return kWinKeyBreak;
    default: return kWinKeyNone;
  }
}

unsigned WindowModsOf(Uint16 mod) {
  unsigned m = 0;
  if (mod & KMOD_SHIFT) m |= kWinModShift;
  if (mod & KMOD_CTRL) m |= kWinModCtrl;
  if (mod & KMOD_LALT) m |= kWinModLeftAlt;
  if (mod & KMOD_RALT) m |= kWinModRightAlt;
  return m;
}

int WindowButtonOf(int sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_MIDDLE: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    default: return -1;
  }
}

}  // namespace kal

#endif  // KALDORIN_HAVE_WINDOW
