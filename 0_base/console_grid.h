// The console grid as a model with no I/O of its own: a character buffer and
// an attribute buffer of rows x columns cells, the cursor, the current
// attribute and the colour table. Front ends read it to draw; nothing here
// knows how it is shown.
//
// Cursor positions are zero-based. The column may equal the width: the
// cursor is then parked past the last column, and the wrap to the next row
// happens only when the next printable byte is written.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

class ConsoleGrid {
 public:
  static constexpr int kWidth = 80;
  static constexpr int kHeight = 25;

  ConsoleGrid(int width = kWidth, int height = kHeight, uint8_t attribute = 0x0F);

  int width() const { return width_; }
  int height() const { return height_; }

  // Writes bytes at the cursor with the current attribute: 7 rings the bell
  // (counted, see bells()), 8 steps back and blanks the cell, 10 starts a
  // new line at column 0, 13 returns to column 0, 32-255 are stored; every
  // other byte (tab included) is ignored.
  void Write(std::string_view bytes);

  // Every cell to a space with the current attribute, cursor to the origin.
  void Clear();
  // From the cursor to the right edge of its row.
  void ClearEol();
  void GotoXY(int column, int row);  // 1-based, each clamped into the grid
  int X() const { return x_; }       // 0-based; may be width() (parked)
  int Y() const { return y_; }

  uint8_t attribute() const { return attr_; }
  void set_attribute(uint8_t a) { attr_ = a; }
  // Colour changes by the program; ignored while colours are fixed.
  void TextColor(int colour);
  void TextBackground(int colour);
  bool colours_allowed() const { return colours_allowed_; }
  void set_colours_allowed(bool on) { colours_allowed_ = on; }

  // Colour table: index -> entry; entries outside 0-15 paint black.
  void set_colour_entry(int index, int entry) { colour_table_[index & 15] = entry; }
  int colour_entry(int index) const { return colour_table_[index & 15]; }
  Rgb ColourRgb(int index) const;

  char Cell(int x, int y) const { return cells_[y * width_ + x]; }
  uint8_t Attr(int x, int y) const { return attrs_[y * width_ + x]; }
  std::string RowText(int y) const;

  // An overlay over the top row (the editor's magnified strip): front ends
  // show it instead of the row's cells until it is cleared; the cells below
  // it stay as they are. factor is the strip's enlargement (1-10): a window
  // draws its first width / factor cells that many times larger, over the
  // top rows; a terminal shows the cells at their own size. Either moves it
  // to the bottom while the cursor is under it (OverlayRow).
  void SetTopOverlay(std::string cells, std::vector<uint8_t> attrs, int factor = 1);
  void ClearTopOverlay();
  bool has_overlay() const { return !overlay_cells_.empty(); }
  int overlay_factor() const { return overlay_factor_; }
  // The first row the overlay covers when it is shown rows_high rows tall:
  // the top rows, unless the cursor's row or the row above it (the line
  // being typed and the question it answers) is among them, then the bottom
  // rows.
  int OverlayRow(int rows_high) const;
  // What is on show at a cell: the overlay where there is one (one row high,
  // as a terminal shows it), else the grid.
  char ShownCell(int x, int y) const;
  uint8_t ShownAttr(int x, int y) const;

  // Rows scrolled off the top since the grid was made; a front end that
  // remembers the last value it saw can scroll its copy the same way.
  uint64_t scroll_count() const { return scroll_count_; }
  // Bell bytes written since the grid was made.
  uint64_t bells() const { return bells_; }

 private:
  void Put(char c);
  void NewLine();
  void ScrollUp();
  int Index(int x, int y) const { return y * width_ + x; }

  int width_, height_;
  std::vector<char> cells_;
  std::vector<uint8_t> attrs_;
  int x_ = 0, y_ = 0;
  uint8_t attr_;
  bool colours_allowed_ = true;
  std::array<int, 16> colour_table_;
  std::string overlay_cells_;
  std::vector<uint8_t> overlay_attrs_;
  int overlay_factor_ = 1;
  uint64_t scroll_count_ = 0;
  uint64_t bells_ = 0;
};

// The fixed RGB value of each of the 16 colour indexes.
Rgb PaletteRgb(int index);

// Parses a colour-table text ("4,1," style, a comma appended first as the
// reader does): the i-th number becomes entry i; parsing stops at the 16th
// entry, at the first missing comma or at the first text that is not a number.
void ParseColourTable(std::string_view text, std::array<int, 16>* table);

}  // namespace kal
