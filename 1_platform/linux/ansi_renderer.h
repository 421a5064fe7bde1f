// Turns the console grid into the ANSI sequences that bring a terminal's
// screen up to date. No I/O: the terminal front end writes what Render
// returns.
//
// The renderer keeps a copy of what the terminal shows and sends only the
// cells that differ from it, so that changing one cell costs a cursor move,
// perhaps a colour change, and the character. Rows the grid scrolled are
// scrolled on the terminal too (inside a scrolling region of the grid's
// height) rather than redrawn. Colours are the colour table's RGB values,
// as 24-bit colour or as the nearest of the 16 standard colours. Text is
// Latin-1 in the grid and UTF-8 on the terminal.
//
// A terminal smaller than the grid shows a viewport that follows the
// cursor (1_platform/linux/viewport.h); the copy of what the terminal shows is kept
// in terminal cells, so moving the viewport redraws just what differs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "0_base/console_grid.h"
#include "1_platform/linux/viewport.h"

namespace kal {

class AnsiRenderer {
 public:
  // A grid of width x height cells, on a terminal of unknown size (taken
  // as large enough) until SetTerminalSize.
  AnsiRenderer(int width, int height, bool truecolor);

  // The terminal's size changed: everything is drawn again (after the
  // caller cleared the screen). Setup must be sent again as well.
  void SetTerminalSize(int cols, int rows);
  // True when the terminal cannot show the whole grid of that size.
  bool SmallerThan(int grid_w, int grid_h) const;
  // The terminal's width in columns; 0 while unknown.
  int terminal_columns() const { return cols_; }
  const Viewport& viewport() const { return view_; }

  // What the terminal needs to show the grid and its cursor.
  std::string Render(const ConsoleGrid& grid);
  // Everything must be drawn again (the screen was cleared or is unknown).
  void Invalidate();
  // Sequences that set the terminal up for drawing (scrolling region) and
  // that put it back.
  std::string Setup() const;

  bool truecolor() const { return truecolor_; }

 private:
  struct Cell {
    char c = ' ';
    uint8_t attr = 0;
    bool known = false;
    bool operator==(const Cell&) const = default;
  };
  void ApplyScroll(const ConsoleGrid& grid, std::string* out);
  void DrawRow(const ConsoleGrid& grid, int y, std::string* out);
  void MoveTo(int x, int y, std::string* out);
  void SetAttr(uint8_t attr, std::string* out);
  void PutCell(int x, int y, char c, uint8_t attr, std::string* out);
  std::string ColourSgr(uint8_t attr) const;

  void Resize(int width, int height);

  int grid_h_;  // the grid's rows
  int cols_ = 0, rows_ = 0;  // the terminal; 0: unknown
  int width_, height_;       // the cells drawn: the viewport's size
  Viewport view_;
  bool truecolor_;
  std::vector<Cell> shown_;
  std::array<Rgb, 16> colours_{};  // the grid's colours when last drawn
  uint64_t scroll_seen_ = 0;
  bool scroll_synced_ = false;
  int cur_x_ = -1, cur_y_ = -1;  // terminal cursor; -1 unknown
  int attr_ = -1;                // terminal's current colours; -1 unknown
};

// UTF-8 for a Latin-1 byte as the terminal shows it: bytes 128-159 show the
// characters of the Windows code page (so that no C1 control reaches the
// terminal), DEL and unmapped bytes show '?'.
const std::string& DisplayUtf8(uint8_t c);

// The grid's text as the final screen left on the terminal after the run:
// UTF-8 lines ending in LF, blanks at the ends of lines and empty lines
// at the end dropped.
std::string ScreenText(const ConsoleGrid& grid);

// The closest of the 16 standard terminal colours (0-7 normal, 8-15 bright).
int NearestAnsiColour(Rgb rgb);

}  // namespace kal
