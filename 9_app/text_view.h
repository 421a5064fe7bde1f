// The text viewer's model, apart from the console: the lines of the file, the
// current line and a column in it, and the blocks (stations in the radio
// report) that blank lines separate. Nothing here speaks or draws.
#pragma once

#include <string>
#include <vector>

namespace kal {

class TextView {
 public:
  explicit TextView(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  int count() const { return static_cast<int>(lines_.size()); }
  int current() const { return current_; }  // 0-based
  int column() const { return column_; }     // 1-based, in the current line
  const std::string& Line(int i) const { return lines_[i]; }
  const std::string& CurrentLine() const { return lines_[current_]; }

  // Each move returns false when it could not move (at the edge). A move to
  // another line puts the column back at the line's start.
  bool Move(int delta);
  bool First();
  bool Last();
  // The first line of the next block, or of the block before the current
  // one. False when there is none (the view stays).
  bool NextBlock();
  bool PreviousBlock();
  // The character before the column, stepping onto it; false at the start.
  bool Left();
  // Steps past the character at the column; false past the line's end.
  bool Right();
  // The character at the column (a blank past the end).
  char CharAtColumn() const;
  // Where the text next occurs after the column, in this line or a later
  // one (exact, letter case included). Found: the view goes there.
  bool FindNext(const std::string& text);

  // The block holding the current line: its first and last line (0-based).
  // False on a blank line, which belongs to no block.
  bool CurrentBlock(int* first, int* last) const;

 private:
  bool Blank(int i) const;
  void GoTo(int line, int column);

  std::vector<std::string> lines_;
  int current_ = 0;
  int column_ = 1;
};

// A line with nothing but blanks (and control bytes) on it.
bool IsBlankLine(const std::string& line);

// Splits file contents into lines (LF or CR LF), as Latin-1 text.
std::vector<std::string> SplitViewerText(const std::string& bytes);

}  // namespace kal
