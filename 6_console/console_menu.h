// The console menu: a scrolling, speaking list of items drawn in a
// rectangle of the console, where the user moves with the arrow keys,
// marks items and picks one. One menu exists at a time in a console (its
// MenuState, console_state.h); the MENU command family drives it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace kal {

struct Console;

// More items than this are refused: the marks and the scrolling stay
// cheap and a runaway script cannot fill the memory.
inline constexpr size_t kMaxMenuItems = 10000;

// A new empty menu in the rectangle (1-based console columns and rows,
// clamped into the grid). False, and no menu, when the rectangle is empty.
bool CreateConsoleMenu(Console& console, int x1, int y1, int x2, int y2);

enum class MenuAdd { kAdded, kNoMenu, kFull };
MenuAdd AddConsoleMenuItem(Console& console, std::string text);

// What the user chose: the 1-based position (0 before the first item,
// count + 1 after the last), the ending key as a key-code text ("#13",
// "a", "#0#59") and the item's text ("" outside the items).
struct MenuChoice {
  int position = 0;
  std::string key;
  std::string text;
};

// Runs the menu from the start position (none: the previous start stays;
// 0 or less means 1) until a key ends it. Keys that move outside the
// function keys (Left, Right, Delete, Ctrl+F9, ...) start it again from
// there. False when there is no menu or the program is ending (a stop was
// requested while the menu waited).
bool RunConsoleMenu(Console& console, std::optional<int> start, MenuChoice* choice);

// Blanks the rectangle, puts the cursor at its top left and discards the
// items. Nothing happens when no menu was made.
void EndConsoleMenu(Console& console);

}  // namespace kal
