// The names of the keys in the console's key byte stream, in one place.
//
// A key is either one byte (a character, or a control byte such as Enter or
// Esc) or, for an extended key, a zero byte followed by the PC scan code
// below. The modifier columns of the extended table (Ctrl+F1, Ctrl+Left,
// Shift+Insert, ...) have codes of their own; Alt+letter gives the letter's
// scan code. Everything that reads or writes keys (the decoder, the field
// editor, the viewer, the download dialogue, screen review) names them here
// rather than writing the numbers.
#pragma once

#include <cstdint>

namespace kal {

// --- One-byte keys --------------------------------------------------------------

inline constexpr uint8_t kKeyCtrlB = 2;
inline constexpr uint8_t kKeyCtrlC = 3;
inline constexpr uint8_t kKeyCtrlD = 4;
inline constexpr uint8_t kKeyBackspace = 8;
inline constexpr uint8_t kKeyTab = 9;
inline constexpr uint8_t kKeyCtrlEnter = 10;  // also Ctrl+J
inline constexpr uint8_t kKeyCtrlK = 11;
inline constexpr uint8_t kKeyCtrlL = 12;
inline constexpr uint8_t kKeyEnter = 13;
inline constexpr uint8_t kKeyCtrlR = 18;  // read as Ctrl+Alt+F9, screen review's key
inline constexpr uint8_t kKeyCtrlS = 19;
inline constexpr uint8_t kKeyCtrlU = 21;
inline constexpr uint8_t kKeyCtrlV = 22;
inline constexpr uint8_t kKeyCtrlY = 25;
inline constexpr uint8_t kKeyCtrlZ = 26;  // end of input for a console line read
inline constexpr uint8_t kKeyEsc = 27;
inline constexpr uint8_t kKeyCtrlBackslash = 28;
inline constexpr uint8_t kKeyCtrlBackspace = 127;

// --- Extended keys: scan codes (after a zero byte) ------------------------------

// F1-F10 are 59-68, in order; F11 and F12 follow them.
inline constexpr uint8_t kKeyF1 = 59;
inline constexpr uint8_t kKeyF2 = 60;
inline constexpr uint8_t kKeyF3 = 61;
inline constexpr uint8_t kKeyF4 = 62;
inline constexpr uint8_t kKeyF5 = 63;
inline constexpr uint8_t kKeyF6 = 64;
inline constexpr uint8_t kKeyF7 = 65;
inline constexpr uint8_t kKeyF8 = 66;
inline constexpr uint8_t kKeyF9 = 67;
inline constexpr uint8_t kKeyF10 = 68;
inline constexpr uint8_t kKeyF11 = 69;
inline constexpr uint8_t kKeyF12 = 70;

inline constexpr uint8_t kKeyHome = 71;
inline constexpr uint8_t kKeyUp = 72;
inline constexpr uint8_t kKeyPgUp = 73;
inline constexpr uint8_t kKeyLeft = 75;
inline constexpr uint8_t kKeyRight = 77;
inline constexpr uint8_t kKeyEnd = 79;
inline constexpr uint8_t kKeyDown = 80;
inline constexpr uint8_t kKeyPgDn = 81;
inline constexpr uint8_t kKeyIns = 82;
inline constexpr uint8_t kKeyDel = 83;

// The Ctrl column: Ctrl+F1-F10 are 94-103 (F key + 35).
inline constexpr uint8_t kCtrlFOffset = 35;
inline constexpr uint8_t kKeyCtrlF1 = 94;
inline constexpr uint8_t kKeyCtrlF4 = 97;
inline constexpr uint8_t kKeyCtrlF8 = 101;
inline constexpr uint8_t kKeyCtrlF9 = 102;
inline constexpr uint8_t kKeyCtrlF11 = 104;
inline constexpr uint8_t kKeyCtrlF12 = 105;
inline constexpr uint8_t kKeyCtrlUp = 113;
inline constexpr uint8_t kKeyCtrlDown = 114;
inline constexpr uint8_t kKeyCtrlLeft = 115;
inline constexpr uint8_t kKeyCtrlRight = 116;
inline constexpr uint8_t kKeyCtrlEnd = 117;
inline constexpr uint8_t kKeyCtrlPgDn = 118;
inline constexpr uint8_t kKeyCtrlHome = 119;
inline constexpr uint8_t kKeyCtrlPgUp = 132;

// Alt+Q, Alt+W and Alt+E: the scan codes of those letters. A keyboard whose
// third-level key is taken as Alt sends one of them before the character.
inline constexpr uint8_t kKeyAltQ = 16;
inline constexpr uint8_t kKeyAltW = 17;
inline constexpr uint8_t kKeyAltE = 18;

// Alt+1 ... Alt+9 are 120-128, Alt+0 is 129.
inline constexpr uint8_t kKeyAlt1 = 120;
inline constexpr uint8_t kKeyAlt0 = 129;

// The clipboard keys: Shift+Insert pastes, Ctrl+Insert copies (Ctrl+V and
// Ctrl+C are taken as these too).
inline constexpr uint8_t kKeyShiftIns = 254;
inline constexpr uint8_t kKeyCtrlIns = 255;

}  // namespace kal
