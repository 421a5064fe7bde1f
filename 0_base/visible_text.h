// Text for a terminal with its control characters made visible.
//
// A terminal acts on control characters: ESC starts sequences that set the
// window's title, clear the screen, move the cursor or change colours, and
// so do the C1 characters (U+0080 to U+009F) on many terminals. Text that
// came from a script or a file is written with them shown instead: a C0
// character as a caret and a letter (ESC as ^[, DEL as ^?), a C1 character
// or a byte that is not UTF-8 as \x and two hex digits (\x9b). Letters with
// accents and every other character pass as they are.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// The UTF-8 text with its control characters shown; the C0 characters in
// `kept` (a line end, a tab) pass as they are.
std::string VisibleText(std::string_view utf8, std::string_view kept = "");

}  // namespace kal
