// Decides what a window has to paint of the console: the cells that changed
// since the last frame, in runs of equal colours (from the colour table),
// the magnified strip's cells and enlargement, and the caret's cell. The
// window back ends (1_platform/) only rasterise what a frame says, so the
// decisions are the same on every window system.
//
// With scrolling by copy on (LENTO), rows that scrolled off are not painted
// again: the frame says how many rows to move the painted cells up, and only
// the new bottom rows (and cells that changed besides) are in its runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "0_base/console_grid.h"
#include "1_platform/cell_paint.h"

namespace kal {

class ConsolePainter {
 public:
  void set_slow_scroll(bool on) { slow_scroll_ = on; }
  // The next frame paints everything.
  void Forget() { painted_ = false; }

  PaintFrame Frame(const ConsoleGrid& grid, bool full);

 private:
  bool Changed(const ConsoleGrid& grid, int x, int y) const;
  void TakeScroll(const ConsoleGrid& grid, PaintFrame* frame);
  void AddRuns(const ConsoleGrid& grid, bool full, PaintFrame* frame);
  void AddStrip(const ConsoleGrid& grid, bool full, PaintFrame* frame);

  bool slow_scroll_ = false;
  bool painted_ = false;
  int width_ = 0, height_ = 0;
  std::vector<char> cells_;       // what was painted
  std::vector<uint8_t> attrs_;
  std::vector<bool> known_;       // false: the cell must be painted
  std::array<Rgb, 16> colours_{};
  uint64_t scroll_count_ = 0;
  std::string strip_cells_;       // the strip as painted (empty: none)
  std::vector<uint8_t> strip_attrs_;
  int strip_factor_ = 0;
  int strip_row_ = 0;
};

}  // namespace kal
