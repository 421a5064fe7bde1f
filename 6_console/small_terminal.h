// The notice that the terminal is smaller than the console's grid, so that
// it shows only the part around the cursor.
//
// It is given once per terminal session: the program that gives it marks the
// session in its environment with the terminal's name, and the programs it
// starts on the same terminal (the report viewer) inherit the mark and stay
// quiet. It is written wrapped to the columns the terminal shows, so that no
// word is cut at the terminal's edge.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal {

// The text cut into lines of at most `columns` characters, at blanks where
// it can be (a longer word is cut where the line ends). columns <= 0: one
// line.
std::vector<std::string> WrapText(std::string_view text, int columns);

// Whether the notice was given already on the terminal of this name, by
// this program or by one that started it; when not, the session is marked
// (the answer is then false once, true afterwards).
bool SmallTerminalToldBefore(const std::string& terminal);

}  // namespace kal
