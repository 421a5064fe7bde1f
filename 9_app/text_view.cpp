#include "9_app/text_view.h"

#include <algorithm>
#include <sstream>

#include "0_base/latin1.h"
#include "6_console/screen_review_cells.h"

namespace kal {

bool IsBlankLine(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool TextView::Blank(int i) const { return IsBlankLine(lines_[i]); }

void TextView::GoTo(int line, int column) {
  current_ = line;
  column_ = column;
}

bool TextView::Move(int delta) {
  int target = std::clamp(current_ + delta, 0, count() - 1);
  if (target == current_) return false;
  GoTo(target, 1);
  return true;
}

bool TextView::First() { return Move(-current_); }
bool TextView::Last() { return Move(count() - 1 - current_); }

bool TextView::CurrentBlock(int* first, int* last) const {
  if (Blank(current_)) return false;
  int a = current_, b = current_;
  while (a > 0 && !Blank(a - 1)) --a;
  while (b + 1 < count() && !Blank(b + 1)) ++b;
  *first = a;
  *last = b;
  return true;
}

bool TextView::NextBlock() {
  int i = current_;
  while (i < count() && !Blank(i)) ++i;  // past the current block
  while (i < count() && Blank(i)) ++i;   // and the blank lines after it
  if (i >= count()) return false;
  GoTo(i, 1);
  return true;
}

bool TextView::PreviousBlock() {
  int i = current_;
  while (i > 0 && !Blank(i)) --i;  // to the start of the current block, or above it
  if (!Blank(i)) return false;      // the first block has none before it
  while (i > 0 && Blank(i)) --i;
  if (Blank(i)) return false;
  while (i > 0 && !Blank(i - 1)) --i;
  GoTo(i, 1);
  return true;
}

bool TextView::Left() {
  if (column_ <= 1) return false;
  --column_;
  return true;
}

bool TextView::Right() {
  if (column_ > static_cast<int>(CurrentLine().size())) return false;
  ++column_;
  return true;
}

char TextView::CharAtColumn() const {
  const std::string& line = CurrentLine();
  return column_ <= static_cast<int>(line.size()) ? line[column_ - 1] : ' ';
}

bool TextView::FindNext(const std::string& text) {
  int row, column;
  auto row_text = [this](int r) { return lines_[r - 1]; };
  if (!FindTextAfter(text, count(), row_text, current_ + 1, column_, &row, &column)) return false;
  GoTo(row - 1, column);
  return true;
}

std::vector<std::string> SplitViewerText(const std::string& bytes) {
  std::string text = LooksLikeUtf8(bytes) ? Utf8ToLatin1(bytes) : bytes;
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.empty()) lines.push_back("");
  return lines;
}

}  // namespace kal
