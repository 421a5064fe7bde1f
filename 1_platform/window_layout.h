// The measures every console window shares, whatever draws it: the cell
// size a window starts with and the one it gets when resized, the caret's
// place in its cell, and the title as a window may show it.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// The smallest cell a resized window gets.
inline constexpr int kMinCellWidth = 4, kMinCellHeight = 8;
// The caret: a bar this many pixels high on the cell's baseline.
inline constexpr int kCaretHeight = 2;

// The cell size when Talven.ini gives none (a size of 0 or less): from the
// desktop's work area of area_w x area_h, as 13 / 1024 of its width and
// 28 / 734 of its height; made smaller when the grid of columns x rows would
// not fit the work area, never smaller than the smallest cell.
void FitCellToWorkArea(int area_w, int area_h, int columns, int rows, int* cell_w, int* cell_h);

// The cell of a window whose inside is w x h pixels.
void CellOfWindow(int w, int h, int columns, int rows, int* cell_w, int* cell_h);

// The caret's top within its cell.
int CaretTop(int baseline, int cell_h);

// A title (Latin-1) without control characters, which a title bar would
// show as boxes or take as line breaks.
std::string PrintableTitle(std::string_view latin1);

}  // namespace kal
