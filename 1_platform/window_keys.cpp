// Window keys to terminal bytes.
#include "1_platform/window_keys.h"

namespace kal {

namespace {

// xterm's modifier parameter: 1 + Shift 1 + Alt 2 + Ctrl 4. Named keys take
// either Alt; characters only the left one.
int ModParam(unsigned mods, bool any_alt) {
  int m = 1;
  if (mods & kWinModShift) m += 1;
  if (mods & (any_alt ? (kWinModLeftAlt | kWinModRightAlt) : kWinModLeftAlt)) m += 2;
  if (mods & kWinModCtrl) m += 4;
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

// The function, arrow and editing keys; empty for others.
std::string NamedKey(int key, int m) {
  static const int kFTilde[] = {15, 17, 18, 19, 20, 21, 23, 24};  // F5-F12
  if (key >= kWinKeyF1 && key < kWinKeyF1 + 4) return LetterKey(static_cast<char>('P' + (key - kWinKeyF1)), m, true);
  if (key >= kWinKeyF1 + 4 && key <= kWinKeyF12) return TildeKey(kFTilde[key - kWinKeyF1 - 4], m);
  switch (key) {
    case kWinKeyUp: return LetterKey('A', m);
    case kWinKeyDown: return LetterKey('B', m);
    case kWinKeyRight: return LetterKey('C', m);
    case kWinKeyLeft: return LetterKey('D', m);
    case kWinKeyHome: return LetterKey('H', m);
    case kWinKeyEnd: return LetterKey('F', m);
    case kWinKeyInsert: return TildeKey(2, m);
    case kWinKeyDelete: return TildeKey(3, m);
    case kWinKeyPageUp: return TildeKey(5, m);
    case kWinKeyPageDown: return TildeKey(6, m);
    case kWinKeyEnter: return CodepointKey(13, m);
    case kWinKeyBackspace: return CodepointKey(127, m);
    case kWinKeyEscape: return CodepointKey(27, m);
    case kWinKeyTab:
      if (m == 2) return Csi("Z");
      return m > 1 ? CodepointKey(9, m) : "\t";
    default: return "";
  }
}

}  // namespace

std::string WindowKeyDown(int key, unsigned mods) {
  if (key == kWinKeyBreak) return (mods & kWinModCtrl) ? CodepointKey(57362, 5) : "";
  std::string named = NamedKey(key, ModParam(mods, true));
  if (!named.empty()) return named;
  if (key >= 32 && key < 127 && TextTakenByKeyDown(mods)) return CodepointKey(key, ModParam(mods, false));
  return "";
}

std::string WindowKeyUp(int key, unsigned mods) {
  int code = 0;
  if (key >= 32 && key < 127) {
    code = key;
  } else if (key == kWinKeyEnter) {
    code = 13;
  } else if (key == kWinKeyBackspace) {
    code = 127;
  } else if (key == kWinKeyTab) {
    code = 9;
  } else if (key == kWinKeyEscape) {
    code = 27;
  }
  if (!code) return "";
  return Csi(std::to_string(code) + ";" + std::to_string(ModParam(mods, false)) + ":3u");
}

bool TextTakenByKeyDown(unsigned mods) { return (mods & (kWinModCtrl | kWinModLeftAlt)) != 0; }

std::string WindowMouseButton(int button) {
  if (button < 0 || button > 2) return "";
  return Csi("<" + std::to_string(button) + ";1;1M");
}

std::string WindowWheel(int dy) {
  if (dy == 0) return "";
  return Csi(std::string(dy > 0 ? "<64" : "<65") + ";1;1M");
}

}  // namespace kal
