// Braille transcription of a console row: the Latin-1 text is rewritten
// into an intermediate braille text in which every character stands for
// one braille cell. Capitals get the capital sign "{", numbers the number
// sign "#" with their digits written as the letters a-j, ordinals and
// fractions use the lowered digits, and symbols become their Portuguese
// braille sequences. The braille display then maps each character of the
// result to a cell (braille_display.h).
//
// Pure: no I/O, no state of its own. The one thing that carries over from
// row to row, whether a parenthesis opened in text is still open, is kept
// by the caller and passed in.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// Rewrites one row. *text_paren_open is read and updated: it is set while a
// parenthesis opened in text (not before a digit) is open, so that its
// closing ")" is not taken for the end of a numeric parenthesis.
std::string TranscribeBraille(std::string_view text, bool* text_paren_open);

}  // namespace kal
