#include "0_base/word_letters.h"

namespace kal {

namespace {

constexpr uint8_t kTimes = 0xD7;   // ×
constexpr uint8_t kDivide = 0xF7;  // ÷
constexpr uint8_t kCedilla = 0xC7, kCedillaLower = 0xE7;  // Ç ç
constexpr uint8_t kTilde = 0xD1, kTildeLower = 0xF1;      // Ñ ñ

}  // namespace

bool IsWordLetter(uint8_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return c >= 0xC0 && c != kTimes && c != kDivide;
}

bool IsWordDigit(uint8_t c) { return c >= '0' && c <= '9'; }

bool IsWordChar(uint8_t c) { return IsWordLetter(c) || IsWordDigit(c); }

bool IsConsonantLetter(uint8_t c) {
  if (c == kCedilla || c == kCedillaLower || c == kTilde || c == kTildeLower) return true;
  if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
  return (c >= 'B' && c <= 'D') || (c >= 'F' && c <= 'H') || (c >= 'J' && c <= 'N') ||
         (c >= 'P' && c <= 'T') || (c >= 'V' && c <= 'Z');
}

}  // namespace kal
