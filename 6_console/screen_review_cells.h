// What screen review reads: the cells of the console grid seen through
// 1-based review coordinates, and the pure questions asked of them (words,
// fields, the end of a row, a search). Nothing here speaks or moves.
//
// Review always works on 80 columns: a grid of another width is clamped to
// it, and a cell outside the grid (row outside 1..rows, column outside
// 1..80) reads as a space with attribute 0.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kal {

class ConsoleGrid;

inline constexpr int kReviewColumns = 80;

class ReviewCells {
 public:
  explicit ReviewCells(const ConsoleGrid& grid) : grid_(grid) {}

  int rows() const;
  uint8_t Char(int row, int column) const;
  uint8_t Attr(int row, int column) const;
  // Columns first..last of a row (clamped to 1..80) as text.
  std::string Text(int row, int first, int last) const;

  // The column after the last non-space character (1 for a blank row).
  int EndOfRow(int row) const;
  // The field holding (row, column): the run of cells around it of the
  // same attribute without delimiters. The cell itself always belongs.
  void Field(int row, int column, int* first, int* last) const;

  // Where the text first occurs after (row, column), looking at the rest of
  // that row and then at every later row. False when it does not occur.
  bool Find(std::string_view text, int row, int column, int* found_row, int* found_column) const;
  // The first letter scanning down from the top left, the last one scanning
  // up from the bottom right. False when the screen has no letter.
  bool FirstLetter(int* row, int* column) const;
  bool LastLetter(int* row, int* column) const;

  // The whole screen, every row followed by CR LF.
  std::string ScreenText() const;

 private:
  const ConsoleGrid& grid_;
};

// The search of review and of the text viewer over rows numbered from 1 to
// rows, row_text giving each one's text: where text first occurs after
// (row, column), that is in the rest of that row past column, or else in a
// later row. Exact, letter case included. False when it does not occur.
bool FindTextAfter(std::string_view text, int rows, const std::function<std::string(int)>& row_text, int row,
                   int column, int* found_row, int* found_column);

// Words, letters and consonants are those of every word key
// (0_base/word_letters.h).
// Field delimiters: ! : ? | and the line-drawing bytes 176-223.
bool IsFieldDelimiter(uint8_t c);

}  // namespace kal
