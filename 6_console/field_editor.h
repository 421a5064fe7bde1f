// The speaking field editor: every line of text the user types is edited
// here. Typed characters are echoed by voice, words, numbers and positions
// are read on request, a proposed text is replaced by the first typed key,
// and the key that ended the edit is returned.
//
// Positions are 1-based, as the console's GotoXY takes them. The ending key
// is the byte that ended the edit (Enter 13, Esc 27, Tab 9, Ctrl+Enter 10,
// Ctrl+B 2) or, for an extended key, its code (72 Up, 80 Down, 60 F2, ...;
// 104 for Alt+F1, 102 for Ctrl+F9).
#pragma once

#include <string>

namespace kal {

struct Console;

// Edits *text (Latin-1) in a field of max_length characters (at most 2048)
// shown at (column, row) in `width` cells. Without editing allowed the text
// can be read and copied but not changed. On return trailing spaces are
// stripped from *text. When a stop is requested (1_platform/stop_request.h)
// the edit ends at once: the field stays as shown, *text unchanged, and Esc
// (27) is returned.
int EditField(Console& console, std::string* text, int column, int row, int max_length, int width, bool editable);

// EditField with the field running from the column to the right edge of the
// grid (width = last column index - column).
int EditFieldAt(Console& console, std::string* text, int column, int row, int max_length, bool editable);

// The interpreter's line read: an empty field of 255 characters at the
// cursor. Esc blanks what was shown and gives an empty text; a line end is
// written after it either way (nothing is written when the run was stopped).
std::string ReadEditedLine(Console& console);

}  // namespace kal
