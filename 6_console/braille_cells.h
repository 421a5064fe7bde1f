// From text to braille cells, and from display keys to console keys: the
// fixed tables of the braille display, with no state.
//
// A row is shown as: transcription (braille_transcribe.h), each character
// of the result to a Braille ASCII character (a 256-entry table), each
// Braille ASCII character to its dot pattern (the North American table).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "1_platform/braille.h"

namespace kal {

// The Braille ASCII character for a Latin-1 byte; 0 when the byte has no
// braille form (shown as an empty cell).
uint8_t BrailleAsciiOf(uint8_t latin1);

// The dots of a Braille ASCII character (dot 1 = bit 0 ... dot 6 = bit 5);
// lower-case letters and ` { | } ~ share the patterns of the characters 32
// below them; anything outside the table is an empty cell.
uint8_t BrailleAsciiDots(uint8_t c);

// The cells for an already transcribed row: padded with empty cells (or
// cut) to exactly count cells.
std::vector<uint8_t> BrailleCellsOf(std::string_view transcribed, int count);

// The character a chord of dots 1-6 types (dot 1 = bit 0): the braille
// keyboard's table, except that dot 3 is "." and dots 1-5-6 are "@".
uint8_t DisplayKeyChar(uint8_t dots);

// What a display key puts into the key queue: a byte, or a zero and a scan
// code, or nothing (empty).
std::string BrailleKeyToConsole(const BrailleKey& key);

}  // namespace kal
