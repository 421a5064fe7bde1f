// The speaking text viewer: the program that opens the Zelquora report (the
// family's editor on the original system). It shows a text file in the
// console; Up and Down move line by line and speak the line, Home and End
// jump to the first and last line, Page Up and Page Down move by a screen,
// F1 or Enter speaks the current line again, Esc ends. Every move is spoken;
// a key cuts the speech.
#pragma once

#include <string>
#include <vector>

namespace kal {

// Runs the viewer on the file (a host path or a Windows path of the drives
// folder). Returns 0 when the user ended it, 1 when the file cannot be read
// (after saying so).
int RunTextViewer(const std::string& path);

// The viewer's model, apart from the console: the lines and the current one.
class TextView {
 public:
  explicit TextView(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  int count() const { return static_cast<int>(lines_.size()); }
  int current() const { return current_; }  // 0-based
  const std::string& Line(int i) const { return lines_[i]; }
  // Each move returns false when it could not move (at the edge).
  bool Move(int delta);
  bool First();
  bool Last();

 private:
  std::vector<std::string> lines_;
  int current_ = 0;
};

// Splits file contents into lines (LF or CR LF), as Latin-1 text.
std::vector<std::string> SplitViewerText(const std::string& bytes);

}  // namespace kal
