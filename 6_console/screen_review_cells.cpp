// Screen review's view of the grid.
#include "6_console/screen_review_cells.h"

#include <algorithm>

#include "0_base/console_grid.h"
#include "0_base/word_letters.h"

namespace kal {

bool IsFieldDelimiter(uint8_t c) {
  return c == '!' || c == ':' || c == '?' || c == '|' || (c >= 176 && c <= 223);
}

int ReviewCells::rows() const { return grid_.height(); }

uint8_t ReviewCells::Char(int row, int column) const {
  if (row < 1 || row > grid_.height() || column < 1 || column > std::min(kReviewColumns, grid_.width()))
    return ' ';
  return static_cast<uint8_t>(grid_.Cell(column - 1, row - 1));
}

uint8_t ReviewCells::Attr(int row, int column) const {
  if (row < 1 || row > grid_.height() || column < 1 || column > std::min(kReviewColumns, grid_.width()))
    return 0;
  return grid_.Attr(column - 1, row - 1);
}

std::string ReviewCells::Text(int row, int first, int last) const {
  std::string text;
  for (int c = std::max(first, 1); c <= std::min(last, kReviewColumns); ++c)
    text.push_back(static_cast<char>(Char(row, c)));
  return text;
}

int ReviewCells::EndOfRow(int row) const {
  int end = kReviewColumns;
  while (end > 0 && Char(row, end) == ' ') --end;
  return end + 1;
}

void ReviewCells::Field(int row, int column, int* first, int* last) const {
  uint8_t attr = Attr(row, column);
  auto inside = [&](int c) { return Attr(row, c) == attr && !IsFieldDelimiter(Char(row, c)); };
  int lo = column, hi = column;
  while (lo > 1 && inside(lo - 1)) --lo;
  while (hi < kReviewColumns && inside(hi + 1)) ++hi;
  *first = lo;
  *last = hi;
}

bool ReviewCells::Find(std::string_view text, int row, int column, int* found_row,
                       int* found_column) const {
  auto row_text = [this](int r) { return Text(r, 1, kReviewColumns); };
  return FindTextAfter(text, rows(), row_text, row, std::min(column, kReviewColumns), found_row, found_column);
}

bool FindTextAfter(std::string_view text, int rows, const std::function<std::string(int)>& row_text, int row,
                   int column, int* found_row, int* found_column) {
  if (text.empty()) return false;
  for (int r = std::max(row, 1); r <= rows; ++r) {
    std::string line = row_text(r);
    // On the first row only text after the position counts.
    size_t from = r == row ? static_cast<size_t>(std::clamp(column, 0, static_cast<int>(line.size()))) : 0;
    size_t at = line.find(text, from);
    if (at != std::string::npos) {
      *found_row = r;
      *found_column = static_cast<int>(at) + 1;
      return true;
    }
  }
  return false;
}

bool ReviewCells::FirstLetter(int* row, int* column) const {
  for (int r = 1; r <= rows(); ++r)
    for (int c = 1; c <= kReviewColumns; ++c)
      if (IsWordLetter(Char(r, c))) {
        *row = r;
        *column = c;
        return true;
      }
  return false;
}

bool ReviewCells::LastLetter(int* row, int* column) const {
  for (int r = rows(); r >= 1; --r)
    for (int c = kReviewColumns; c >= 1; --c)
      if (IsWordLetter(Char(r, c))) {
        *row = r;
        *column = c;
        return true;
      }
  return false;
}

std::string ReviewCells::ScreenText() const {
  std::string text;
  for (int r = 1; r <= rows(); ++r) text += Text(r, 1, kReviewColumns) + "\r\n";
  return text;
}

}  // namespace kal
