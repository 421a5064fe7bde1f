// What a word is made of, for everything that moves or reads by word: the
// field editor's word keys and F1, screen review's F1 and first and last
// letter, and the text viewer's spoken lines. The text is Latin-1 and the
// reader Portuguese, so the accented letters À to ÿ are letters like A to Z
// (the multiplication and division signs among them are not).
#pragma once

#include <cstdint>

namespace kal {

// A-Z, a-z and the Latin-1 letters 0xC0-0xFF except 0xD7 and 0xF7.
bool IsWordLetter(uint8_t c);
bool IsWordDigit(uint8_t c);
// A letter or a digit.
bool IsWordChar(uint8_t c);
// Letters that are no vowels, either case: B-D, F-H, J-N, P-T, V-Z, Ç and
// Ñ. A word made only of these cannot be said and is spelled instead.
bool IsConsonantLetter(uint8_t c);

}  // namespace kal
