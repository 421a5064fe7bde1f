// What a front end that paints cells itself (a window) is asked to paint.
//
// The console works out, from its grid, which cells changed since the last
// frame and groups them into runs of equal colours; the front end only
// rasterises the runs with its font and shows them. The same frames serve
// any window system, so the decisions (what is repainted, in which colours,
// how the magnified strip is laid out) are made once, above the platform.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "0_base/console_grid.h"

namespace kal {

// Cells of one row with the same colours, text in Latin-1.
struct CellRun {
  int column = 0;
  int row = 0;
  std::string text;
  Rgb fg{0, 0, 0};
  Rgb bg{0, 0, 0};
};

struct PaintFrame {
  int columns = 0;
  int rows = 0;
  // Every cell of the grid is in the runs: what was painted before is gone.
  bool full = false;
  // The painted cells move up this many rows before the runs are painted
  // (scrolling by copy); the rows that come in at the bottom are in the runs.
  int scrolled_rows = 0;
  std::vector<CellRun> runs;
  // The magnified strip over the window's top (or bottom) rows: drawn
  // strip_factor times larger than the cells, its top edge at the top of grid
  // row strip_row, its runs counted in strip cells (row 0). It is repainted
  // when strip_changed; strip_factor 0 means there is none.
  bool strip_changed = false;
  int strip_factor = 0;
  int strip_row = 0;
  std::vector<CellRun> strip_runs;
  // The cursor's cell, where the caret is drawn while the program waits for
  // a key (the column is kept inside the grid).
  int cursor_column = 0;
  int cursor_row = 0;
};

// Makes the next frame: what changed since the last one, or everything
// when full is asked for (a new font size, a window shown afresh).
using FramePainter = std::function<PaintFrame(bool full)>;

}  // namespace kal
