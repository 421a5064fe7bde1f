#include "console/console_grid.h"

#include <algorithm>

namespace kal {

ConsoleGrid::ConsoleGrid() : cells_(kWidth * kHeight, ' '), attrs_(kWidth * kHeight, 0x07) {}

void ConsoleGrid::Write(std::string_view bytes) {
  for (char c : bytes) {
    switch (c) {
      case '\r': x_ = 0; break;
      case '\n': LineFeed(); break;
      case 8: if (x_ > 0) --x_; break;
      case 7: break;
      default: Put(c);
    }
  }
}

// The cursor parks past the last column; the wrap happens only when the
// next character arrives.
void ConsoleGrid::Put(char c) {
  if (x_ >= kWidth) LineFeed();
  cells_[y_ * kWidth + x_] = c;
  attrs_[y_ * kWidth + x_] = attr_;
  ++x_;
}

// A line feed also returns the carriage; on the bottom row it scrolls.
void ConsoleGrid::LineFeed() {
  x_ = 0;
  if (y_ < kHeight - 1) {
    ++y_;
    return;
  }
  std::copy(cells_.begin() + kWidth, cells_.end(), cells_.begin());
  std::copy(attrs_.begin() + kWidth, attrs_.end(), attrs_.begin());
  std::fill(cells_.end() - kWidth, cells_.end(), ' ');
  std::fill(attrs_.end() - kWidth, attrs_.end(), attr_);
}

void ConsoleGrid::Clear() {
  std::fill(cells_.begin(), cells_.end(), ' ');
  std::fill(attrs_.begin(), attrs_.end(), attr_);
  x_ = y_ = 0;
}

void ConsoleGrid::ClearEol() {
  for (int x = x_; x < kWidth; ++x) {
    cells_[y_ * kWidth + x] = ' ';
    attrs_[y_ * kWidth + x] = attr_;
  }
}

void ConsoleGrid::GotoXY(int column, int row) {
  x_ = std::clamp(column - 1, 0, kWidth - 1);
  y_ = std::clamp(row - 1, 0, kHeight - 1);
}

std::string ConsoleGrid::RowText(int y) const {
  return std::string(cells_.begin() + y * kWidth, cells_.begin() + (y + 1) * kWidth);
}

}  // namespace kal
