// Window keys to terminal bytes.
#if KALDORIN_HAVE_WINDOW
#include "1_platform/linux/window_keys.h"

namespace kal {

namespace {

// xterm's modifier parameter: 1 + Shift 1 + Alt 2 + Ctrl 4.
int ModParam(Uint16 mod, bool any_alt) {
  int m = 1;
  if (mod & KMOD_SHIFT) m += 1;
  if (any_alt ? (mod & KMOD_ALT) : (mod & KMOD_LALT)) m += 2;
  if (mod & KMOD_CTRL) m += 4;
  return m;
}

std::string Csi(const std::string& body) { return "\x1b[" + body; }

// "CSI 1;m X", or the short form without modifiers.
std::string LetterKey(char final_byte, int m, bool ss3_plain = false) {
  if (m > 1) return Csi("1;" + std::to_string(m) + final_byte);
  return (ss3_plain ? std::string("\x1bO") : std::string("\x1b[")) + final_byte;
}

std::string TildeKey(int n, int m) {
  return Csi(std::to_string(n) + (m > 1 ? ";" + std::to_string(m) : "") + "~");
}

std::string CodepointKey(int code, int m) { return Csi(std::to_string(code) + ";" + std::to_string(m) + "u"); }

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

// The function, arrow and editing keys; empty for others.
std::string SpecialKey(SDL_Keycode sym, int m) {
  static const int kFTilde[] = {15, 17, 18, 19, 20, 21, 23, 24};  // F5-F12
  if (sym >= SDLK_F1 && sym <= SDLK_F4) return LetterKey(static_cast<char>('P' + (sym - SDLK_F1)), m, true);
  if (sym >= SDLK_F5 && sym <= SDLK_F12) return TildeKey(kFTilde[sym - SDLK_F5], m);
  switch (sym) {
    case SDLK_UP: return LetterKey('A', m);
    case SDLK_DOWN: return LetterKey('B', m);
    case SDLK_RIGHT: return LetterKey('C', m);
    case SDLK_LEFT: return LetterKey('D', m);
    case SDLK_HOME: return LetterKey('H', m);
    case SDLK_END: return LetterKey('F', m);
    case SDLK_INSERT: return TildeKey(2, m);
    case SDLK_DELETE: return TildeKey(3, m);
    case SDLK_PAGEUP: return TildeKey(5, m);
    case SDLK_PAGEDOWN: return TildeKey(6, m);
    case SDLK_RETURN: case SDLK_KP_ENTER: return CodepointKey(13, m);
    case SDLK_BACKSPACE: return CodepointKey(127, m);
    case SDLK_ESCAPE: return CodepointKey(27, m);
    case SDLK_TAB:
      if (m == 2) return Csi("Z");
      return m > 1 ? CodepointKey(9, m) : "\t";
    default: return "";
  }
}

}  // namespace

std::string EncodeKeyDown(SDL_Keycode sym, Uint16 mod) {
  sym = KeypadAsEditing(sym, mod);
  if ((sym == SDLK_PAUSE || sym == SDLK_CANCEL) && (mod & KMOD_CTRL)) return CodepointKey(57362, 5);  // Ctrl+Break
  std::string special = SpecialKey(sym, ModParam(mod, true));
  if (!special.empty()) return special;
  // Plain characters held with Ctrl or the left Alt; the right Alt is the
  // layout's AltGr, whose characters come as text.
  if (sym >= 32 && sym < 127 && TextTakenByKeyDown(mod)) return CodepointKey(static_cast<int>(sym), ModParam(mod, false));
  return "";
}

std::string EncodeKeyUp(SDL_Keycode sym, Uint16 mod) {
  int code = 0;
  if (sym >= 32 && sym < 127) {
    code = static_cast<int>(sym);
  } else if (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) {
    code = 13;
  } else if (sym == SDLK_BACKSPACE) {
    code = 127;
  } else if (sym == SDLK_TAB) {
    code = 9;
  } else if (sym == SDLK_ESCAPE) {
    code = 27;
  }
  if (!code) return "";
  return Csi(std::to_string(code) + ";" + std::to_string(ModParam(mod, false)) + ":3u");
}

bool TextTakenByKeyDown(Uint16 mod) { return (mod & KMOD_CTRL) || (mod & KMOD_LALT); }

std::string EncodeMouseButton(int button) {
  int b = button == SDL_BUTTON_LEFT ? 0 : button == SDL_BUTTON_MIDDLE ? 1 : button == SDL_BUTTON_RIGHT ? 2 : -1;
  if (b < 0) return "";
  return Csi("<" + std::to_string(b) + ";1;1M");
}

std::string EncodeWheel(int dy) {
  if (dy == 0) return "";
  return Csi(std::string(dy > 0 ? "<64" : "<65") + ";1;1M");
}

}  // namespace kal

#endif  // KALDORIN_HAVE_WINDOW
