// Reading a command's operands by the shape its row of the command table
// declares, for the script check: each operand read with the decoders'
// readers, each mistake said with its code where it stands.
//
// A shape is read left to right; lower-case letters are operands, upper-
// case words are the command's own words:
//   v  a variable the command sets         o  an operand (any value)
//   n  an operand whose literal must be a number (as written); n(LO:HI)
//      a number within LO..HI; n(/) a number that is not zero
//   u  the same, the literal trimmed of blanks first
//   c  a channel: '#', a digit, then a blank or the end
//   k  '#' and a digit (ESCREVE's looser reading)
//   p  TELA's place: @x,y, or a letter whose variable holds the word
//   l  a list name in brackets          j  operands joined to the line's end
//   r  any text (read by the command alone), at least one character
//   w  any one word (read by the command alone)
//   .  nothing more (more fails the line)  ~  nothing more is read (more
//      is ignored, which is said as a warning)
//   &  a trailing '&' (or several) taken off first
//   %  a trailing '&' makes the command's failures quiet: nothing more is
//      held against the line then
//   ?  what follows is optional: the line may end here
//   ,  an optional comma
//   {A x|B y|z}  one of the forms: the one whose word opens the text, else
//      the first form without a word that can start there
#pragma once

#include <string_view>

namespace kal {

struct Checker;

// Reads args by shape; false after an error was said.
bool CheckShape(Checker& c, std::string_view args, std::string_view shape);

}  // namespace kal
