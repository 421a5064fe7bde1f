// Screen review: the user explores what is on the console grid without
// changing it. A review position moves over the cells on its own, keys read
// characters, words, fields, rows, ranges or the whole screen aloud, and Esc
// puts the console cursor back where it was.
//
// Entered from the field editor (Alt+Ctrl+F9) and from the console menu.
#pragma once

#include <string>

namespace kal {

struct Console;
struct SpeechState;

// Runs the review loop over the console's grid until Esc.
void ScreenReview(Console& console);

// Review's search, shared with the other readers of text (the text viewer);
// the console keeps the text.
// With ask, says "Qual texto" and reads a text with each key spoken
// (Backspace takes the last one back and names it, Esc cancels); a text
// typed replaces the kept one. *text is then the text to search for, ""
// when none was ever typed. False when Esc cancelled (nothing to search).
bool TakeSearchText(Console& console, bool ask, std::string* text);
// The answer to a search: a click when found, two error beeps when not.
void AnswerSearch(SpeechState& speech, bool found);

}  // namespace kal
