#include "6_console/braille_keyboard.h"

namespace kal {

namespace {

constexpr uint8_t kSpaceDot = 64;
constexpr uint8_t kCapitalSign = '{';
constexpr uint8_t kNumberSign = '#';

// Characters of the 64 dot patterns (dot 1 = 1 ... dot 6 = 32), Latin-1.
constexpr uint8_t kBrailleChars[64] = {
    ' ',  'a',  ',',  'b',  '\'', 'k',  ';',  'l',  '^',  'c',  'i',  'f',  0xED, 'm',  's',  'p',
    '~',  'e',  ':',  'h',  '*',  'o',  '!',  'r',  0xAC, 'd',  'j',  'g',  0xE3, 'n',  't',  'q',
    0xFD, 0xE2, '?',  0xEA, '-',  'u',  '"',  'v',  '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x',  0xE8, 0xE7,
    '$',  0xFB, 0xFF, 0xFC, '}',  'z',  '=',  0xE1, '_',  0xF4, 'w',  0xEF, '#',  'y',  0xFA, 0xE9,
};

bool IsLetterKey(uint8_t k) { return (k >= 'a' && k <= 'z') || (k >= 'A' && k <= 'Z'); }

}  // namespace

uint8_t BrailleKeyboard::DotOf(uint8_t key) {
  switch (key) {
    case 'f': case 'F': return 1;
    case 'd': case 'D': return 2;
    case 's': case 'S': return 4;
    case 'j': case 'J': return 8;
    case 'k': case 'K': return 16;
    case 'l': case 'L': return 32;
    case ' ': return kSpaceDot;
    default: return 0;
  }
}

uint8_t BrailleKeyboard::CharOf(uint8_t dots) { return kBrailleChars[dots & 63]; }

void BrailleKeyboard::SetMode(int mode) {
  mode_ = mode > 2 ? 1 : (mode < 0 ? 0 : mode);
  chord_ = held_ = 0;
  ClearSigns();
}

bool BrailleKeyboard::KeyDown(uint8_t key, bool ctrl) {
  if (!on() || ctrl) return false;
  uint8_t dot = DotOf(key);
  if (!dot) return false;
  chord_ |= dot;
  held_ |= dot;
  return true;
}

bool BrailleKeyboard::KeyUp(uint8_t key, bool ctrl, int* out) {
  *out = kNothing;
  if (!on()) return false;
  if (ctrl || (key != ' ' && !IsLetterKey(key))) {
    ClearSigns();
    return false;
  }
  held_ &= static_cast<uint8_t>(~DotOf(key));
  // A letter that is no chord key, released with no chord typed, gives
  // nothing (it is not an empty chord).
  if (held_ != 0 || chord_ == 0) return true;
  *out = Translate();
  chord_ = 0;
  return true;
}

int BrailleKeyboard::Translate() {
  uint8_t dots = chord_ & 63;
  if (chord_ & kSpaceDot) {
    ClearSigns();
    if (dots == 0) return ' ';
    return CharOf(dots) & 31;
  }
  uint8_t c = CharOf(dots);
  return mode_ == 2 ? PostProcess(c) : c;
}

// Mode 2: the signs and substitutions.
int BrailleKeyboard::PostProcess(uint8_t c) {
  if (c == '\'') c = '.';
  if (c == 0xFB) c = '@';
  if (number_) {
    if (c >= 'a' && c <= 'i') {
      c = static_cast<uint8_t>('1' + (c - 'a'));
    } else if (c == 'j') {
      c = '0';
    } else if (c == '~') {
      number_ = false;  // the tilde itself is still typed
    }
  }
  if ((capital_ || locked_) && c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
  if (c == kNumberSign) {
    number_ = true;
    return kNothing;
  }
  if (c == kCapitalSign) {
    if (capital_) locked_ = true;  // a second sign in a row locks capitals
    capital_ = true;
    return kNothing;
  }
  capital_ = false;
  return c;
}

}  // namespace kal
