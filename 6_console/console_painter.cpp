// Frames of the console for a window.
#include "6_console/console_painter.h"

#include <algorithm>

namespace kal {

namespace {

Rgb Foreground(const ConsoleGrid& grid, uint8_t attr) { return grid.ColourRgb(attr & 15); }
Rgb Background(const ConsoleGrid& grid, uint8_t attr) { return grid.ColourRgb(attr >> 4); }

// Runs of equal attributes over cells [begin, end) of a row given as texts.
void RunsOf(const ConsoleGrid& grid, const std::string& cells, const std::vector<uint8_t>& attrs, int row,
            std::vector<CellRun>* out) {
  size_t x = 0;
  while (x < cells.size()) {
    size_t start = x;
    uint8_t a = attrs[x];
    while (x < cells.size() && attrs[x] == a) ++x;
    out->push_back({static_cast<int>(start), row, cells.substr(start, x - start), Foreground(grid, a),
                    Background(grid, a)});
  }
}

}  // namespace

bool ConsolePainter::Changed(const ConsoleGrid& grid, int x, int y) const {
  size_t i = static_cast<size_t>(y) * width_ + x;
  return !known_[i] || cells_[i] != grid.Cell(x, y) || attrs_[i] != grid.Attr(x, y);
}

// Rows scrolled off since the last frame: with scrolling by copy, the
// painted rows move up with them and only the new rows are unknown.
void ConsolePainter::TakeScroll(const ConsoleGrid& grid, PaintFrame* frame) {
  uint64_t scrolled = grid.scroll_count() - scroll_count_;
  scroll_count_ = grid.scroll_count();
  if (!slow_scroll_ || scrolled == 0) return;
  if (scrolled >= static_cast<uint64_t>(height_)) {
    std::fill(known_.begin(), known_.end(), false);
    return;
  }
  int k = static_cast<int>(scrolled);
  size_t moved = static_cast<size_t>(k) * width_;
  std::copy(cells_.begin() + moved, cells_.end(), cells_.begin());
  std::copy(attrs_.begin() + moved, attrs_.end(), attrs_.begin());
  std::copy(known_.begin() + moved, known_.end(), known_.begin());
  std::fill(known_.end() - moved, known_.end(), false);
  frame->scrolled_rows = k;
}

// Changed cells, a run for each stretch of one attribute.
void ConsolePainter::AddRuns(const ConsoleGrid& grid, bool full, PaintFrame* frame) {
  for (int y = 0; y < height_; ++y) {
    int x = 0;
    while (x < width_) {
      if (!full && !Changed(grid, x, y)) {
        ++x;
        continue;
      }
      int start = x;
      uint8_t a = grid.Attr(x, y);
      std::string text;
      while (x < width_ && grid.Attr(x, y) == a && (full || Changed(grid, x, y))) {
        size_t i = static_cast<size_t>(y) * width_ + x;
        cells_[i] = grid.Cell(x, y);
        attrs_[i] = a;
        known_[i] = true;
        text.push_back(cells_[i]);
        ++x;
      }
      frame->runs.push_back({start, y, std::move(text), Foreground(grid, a), Background(grid, a)});
    }
  }
}

// The strip holds the overlay's first width / factor cells, over the top
// rows or, while the cursor's row or the one above it is under them, the
// bottom ones.
void ConsolePainter::AddStrip(const ConsoleGrid& grid, bool full, PaintFrame* frame) {
  std::string cells;
  std::vector<uint8_t> attrs;
  int factor = 0, row = 0;
  if (grid.has_overlay()) {
    factor = grid.overlay_factor();
    row = grid.OverlayRow(factor);
    int shown_at = grid.OverlayRow(1);  // where the grid shows the overlay's cells
    for (int x = 0; x < width_ / factor; ++x) {
      cells.push_back(grid.ShownCell(x, shown_at));
      attrs.push_back(grid.ShownAttr(x, shown_at));
    }
  }
  if (!full && factor == strip_factor_ && row == strip_row_ && cells == strip_cells_ && attrs == strip_attrs_)
    return;
  frame->strip_changed = true;
  frame->strip_factor = factor;
  frame->strip_row = row;
  if (factor) RunsOf(grid, cells, attrs, 0, &frame->strip_runs);
  strip_cells_ = std::move(cells);
  strip_attrs_ = std::move(attrs);
  strip_factor_ = factor;
  strip_row_ = row;
}

PaintFrame ConsolePainter::Frame(const ConsoleGrid& grid, bool full) {
  PaintFrame frame;
  frame.columns = grid.width();
  frame.rows = grid.height();
  std::array<Rgb, 16> colours;
  for (int i = 0; i < 16; ++i) colours[i] = grid.ColourRgb(i);
  if (!painted_ || grid.width() != width_ || grid.height() != height_ || colours != colours_) full = true;
  if (full) {
    width_ = grid.width();
    height_ = grid.height();
    size_t n = static_cast<size_t>(width_) * height_;
    cells_.assign(n, ' ');
    attrs_.assign(n, 0);
    known_.assign(n, false);
    colours_ = colours;
    scroll_count_ = grid.scroll_count();
  } else {
    TakeScroll(grid, &frame);
  }
  frame.full = full;
  AddRuns(grid, full, &frame);
  AddStrip(grid, full, &frame);
  frame.cursor_column = std::min(grid.X(), width_ - 1);
  frame.cursor_row = grid.Y();
  painted_ = true;
  return frame;
}

}  // namespace kal
