#include "6_console/braille_cells.h"

#include <algorithm>

#include "6_console/braille_keyboard.h"

namespace kal {
namespace {

// "|" marks a byte with no braille form; no byte maps to "|" itself.
constexpr char kNone = '|';

// Latin-1 0x20-0x7F to Braille ASCII, sixteen bytes a line.
constexpr char kLowTable[] =
    " 68#;%&'<>961-'4"
    "jabcdefghi32{7o5"
    ":ABCDEFGHIJKLMNO"
    "PQRSTUVWXYZ(,)`_"
    ",abcdefghijklmno"
    "pqrstuvwxyz._0\"|";

// Latin-1 0x80-0xFF to Braille ASCII: accented letters take the cells of
// their Portuguese braille forms.
constexpr char kHighTable[] =
    "@\\=*>$|&<|!}|%||"
    "|88?['|:||||||||"
    "(6+)||_| |a8^|||"
    "0|bc9||||aO8|||5"
    "$(*3>*>&!=<$/'%]"
    "|}+?[[|8|)):\\|||"
    "$(*>>*>&!=<$//%}"
    "|}++?[[4|)):\\,|4";

static_assert(sizeof(kLowTable) == 96 + 1 && sizeof(kHighTable) == 128 + 1);

// Dots of the Braille ASCII characters from space to "_" (dot 1 = 1, dot 2
// = 2, dot 3 = 4, dot 4 = 8, dot 5 = 16, dot 6 = 32).
constexpr uint8_t kAsciiDots[64] = {
    0,  46, 16, 60, 43, 41, 47, 4,  55, 62, 33, 44, 32, 36, 40, 12,  // space ! " # $ % & ' ( ) * + , - . /
    52, 2,  6,  18, 50, 34, 22, 54, 38, 20, 49, 48, 35, 63, 28, 57,  // 0-9 : ; < = > ?
    8,  1,  3,  9,  25, 17, 11, 27, 19, 10, 26, 5,  7,  13, 29, 21,  // @ A-O
    15, 31, 23, 14, 30, 37, 39, 58, 45, 61, 53, 42, 51, 59, 24, 56,  // P-Z [ \ ] ^ _
};

// PC scan codes of the keys the display's navigation keys stand for.
constexpr uint8_t kScanUp = 72, kScanDown = 80, kScanHome = 71, kScanEnd = 79;

std::string Extended(uint8_t scan) { return std::string(1, '\0') + static_cast<char>(scan); }
std::string Byte(uint8_t b) { return std::string(1, static_cast<char>(b)); }

constexpr uint8_t kDot7 = 64, kDot8 = 128, kSixDots = 63;

// Dots 7 and 8 are Backspace and Enter, both Esc; mixed with anything else
// they give nothing.
std::string ChordToConsole(uint8_t dots, bool space) {
  uint8_t low = dots & kSixDots, high = dots & (kDot7 | kDot8);
  if (high) {
    if (low || space) return {};
    return Byte(high == kDot7 ? 8 : high == kDot8 ? 13 : 27);
  }
  if (!space) return low ? Byte(DisplayKeyChar(low)) : std::string();
  if (!low) return Byte(' ');
  // Space with dots: the control character. One whose code would be 0 is
  // not queued: a zero byte in the queue starts an extended key.
  uint8_t control = DisplayKeyChar(low) & 31;
  return control ? Byte(control) : std::string();
}

}  // namespace

uint8_t BrailleAsciiOf(uint8_t latin1) {
  char c = kNone;
  if (latin1 == 0x08) c = ' ';
  else if (latin1 == 0x0F) c = '.';
  else if (latin1 >= 0x20 && latin1 < 0x80) c = kLowTable[latin1 - 0x20];
  else if (latin1 >= 0x80) c = kHighTable[latin1 - 0x80];
  return c == kNone ? 0 : static_cast<uint8_t>(c);
}

uint8_t BrailleAsciiDots(uint8_t c) {
  if (c >= 0x60 && c < 0x7F) c -= 32;
  if (c < 0x20 || c >= 0x60) return 0;
  return kAsciiDots[c - 0x20];
}

std::vector<uint8_t> BrailleCellsOf(std::string_view transcribed, int count) {
  std::vector<uint8_t> cells(count > 0 ? count : 0, 0);
  size_t n = std::min(cells.size(), transcribed.size());
  for (size_t i = 0; i < n; ++i) cells[i] = BrailleAsciiDots(BrailleAsciiOf(static_cast<uint8_t>(transcribed[i])));
  return cells;
}

uint8_t DisplayKeyChar(uint8_t dots) {
  dots &= kSixDots;
  if (dots == 4) return '.';
  if (dots == 49) return '@';
  return BrailleKeyboard::CharOf(dots);
}

std::string BrailleKeyToConsole(const BrailleKey& key) {
  switch (key.kind) {
    case BrailleKey::kLineUp: return Extended(kScanUp);
    case BrailleKey::kLineDown: return Extended(kScanDown);
    case BrailleKey::kLineStart: return Extended(kScanHome);
    case BrailleKey::kLineEnd: return Extended(kScanEnd);
    case BrailleKey::kChord: return ChordToConsole(key.dots, key.space_bar);
    case BrailleKey::kCharacter: return key.code ? Byte(key.code) : std::string();
    case BrailleKey::kEnter: return Byte(13);
    case BrailleKey::kEscape: return Byte(27);
    case BrailleKey::kBackspace: return Byte(8);
    case BrailleKey::kOther: return Byte('?');
  }
  return {};
}

}  // namespace kal
