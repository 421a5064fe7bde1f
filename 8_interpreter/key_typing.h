// Pressing keys and typing characters into the program in front, for
// DIGITA, ACIONA and CAPTURA CAMPO.
//
// The order of events is fixed here for every back end: the modifiers go
// down in the order Shift, Ctrl, Alt, the key goes down and up, the
// modifiers come up in the same order, and the event pump runs after every
// single event so that keys keep flowing into the console's own queue. A
// pause follows each combination.
#pragma once

#include <cstdint>

#include "8_interpreter/key_names.h"

namespace kal {

class DesktopAutomation;
struct Platform;

inline constexpr int kKeyPauseMs = 100;

// False when the keyboard has no key for the combination.
bool PressCombination(Platform& platform, DesktopAutomation& d, const KeyCombination& k, int pause_ms);

// Types one Latin-1 byte. 32..255: the key (and shift) that types it; when
// the keyboard cannot type a byte of 128..255 and it carries an accent, the
// accent then the base letter; when there is no way at all, a blank. 0..31:
// Ctrl with the key of byte + 64, pausing twice. False only when not even
// the blank can be typed.
bool TypeCharacter(Platform& platform, DesktopAutomation& d, uint8_t c, int pause_ms);

// The key that types a character, pressed and released with no modifier
// (upper and lower case press the same key), with 1 ms after each event.
bool PressCharacterKey(Platform& platform, DesktopAutomation& d, uint8_t c);

// The accent key and base letter that type an accented Latin-1 letter on a
// keyboard with dead keys; false when the byte carries no accent.
bool AccentOf(uint8_t c, uint8_t* accent, uint8_t* base);

}  // namespace kal
