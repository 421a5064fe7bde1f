// The console grid: cell and attribute buffers, cursor and colours.
#include "0_base/console_grid.h"

#include <algorithm>

namespace kal {

namespace {

constexpr Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {40, 40, 40},    {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
};

// A signed decimal number with optional blanks around it.
bool ParseInt(std::string_view s, int* out) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  s = s.substr(b, e - b);
  bool neg = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    neg = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *out = neg ? -v : v;
  return true;
}

}  // namespace

Rgb PaletteRgb(int index) { return index >= 0 && index < 16 ? kPalette[index] : Rgb{0, 0, 0}; }

void ParseColourTable(std::string_view text, std::array<int, 16>* table) {
  std::string s(text);
  s += ',';
  size_t pos = 0;
  for (int i = 0; i < 16; ++i) {
    size_t comma = s.find(',', pos);
    if (comma == std::string::npos) return;
    int v;
    if (!ParseInt(std::string_view(s).substr(pos, comma - pos), &v)) return;
    (*table)[i] = v;
    pos = comma + 1;
  }
}

ConsoleGrid::ConsoleGrid(int width, int height, uint8_t attribute)
    : width_(std::max(1, width)),
      height_(std::max(1, height)),
      cells_(width_ * height_, ' '),
      attrs_(width_ * height_, attribute),
      attr_(attribute) {
  for (int i = 0; i < 16; ++i) colour_table_[i] = i;
}

void ConsoleGrid::Write(std::string_view bytes) {
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case 7: ++bells_; break;
      case 8:
        if (x_ >= 1) {
          --x_;
          cells_[Index(x_, y_)] = ' ';
        }
        break;
      case 10: NewLine(); x_ = 0; break;
      case 13: x_ = 0; break;
      default:
        if (c >= 32) Put(ch);
    }
  }
}

// The cursor parks past the last column; the wrap happens only when the
// next character arrives.
void ConsoleGrid::Put(char c) {
  if (x_ >= width_) {
    x_ = 0;
    NewLine();
  }
  cells_[Index(x_, y_)] = c;
  attrs_[Index(x_, y_)] = attr_;
  ++x_;
}

// Down one row; on the bottom row the grid scrolls instead and the cursor
// stays. The column is left to the caller.
void ConsoleGrid::NewLine() {
  if (y_ < height_ - 1) {
    ++y_;
    return;
  }
  ScrollUp();
}

void ConsoleGrid::ScrollUp() {
  std::copy(cells_.begin() + width_, cells_.end(), cells_.begin());
  std::copy(attrs_.begin() + width_, attrs_.end(), attrs_.begin());
  std::fill(cells_.end() - width_, cells_.end(), ' ');
  std::fill(attrs_.end() - width_, attrs_.end(), attr_);
  ++scroll_count_;
}

void ConsoleGrid::Clear() {
  std::fill(cells_.begin(), cells_.end(), ' ');
  std::fill(attrs_.begin(), attrs_.end(), attr_);
  x_ = y_ = 0;
}

void ConsoleGrid::ClearEol() {
  for (int x = x_; x < width_; ++x) {
    cells_[Index(x, y_)] = ' ';
    attrs_[Index(x, y_)] = attr_;
  }
}

void ConsoleGrid::GotoXY(int column, int row) {
  x_ = std::clamp(column - 1, 0, width_ - 1);
  y_ = std::clamp(row - 1, 0, height_ - 1);
}

void ConsoleGrid::TextColor(int colour) {
  if (colours_allowed_) attr_ = static_cast<uint8_t>((attr_ & 0xF0) | (colour & 0x0F));
}

void ConsoleGrid::TextBackground(int colour) {
  if (colours_allowed_) attr_ = static_cast<uint8_t>((attr_ & 0x0F) | ((colour & 0x0F) << 4));
}

Rgb ConsoleGrid::ColourRgb(int index) const { return PaletteRgb(colour_table_[index & 15]); }

std::string ConsoleGrid::RowText(int y) const {
  return std::string(cells_.begin() + y * width_, cells_.begin() + (y + 1) * width_);
}

void ConsoleGrid::SetTopOverlay(std::string cells, std::vector<uint8_t> attrs, int factor) {
  overlay_factor_ = factor < 1 ? 1 : factor > 10 ? 10 : factor;
  cells.resize(width_, ' ');
  attrs.resize(width_, attr_);
  overlay_cells_ = std::move(cells);
  overlay_attrs_ = std::move(attrs);
}

void ConsoleGrid::ClearTopOverlay() {
  overlay_cells_.clear();
  overlay_attrs_.clear();
}

int ConsoleGrid::OverlayRow(int rows_high) const {
  if (rows_high >= height_ || y_ > rows_high) return 0;
  return height_ - rows_high;
}

char ConsoleGrid::ShownCell(int x, int y) const {
  return has_overlay() && y == OverlayRow(1) ? overlay_cells_[x] : cells_[Index(x, y)];
}

uint8_t ConsoleGrid::ShownAttr(int x, int y) const {
  return has_overlay() && y == OverlayRow(1) ? overlay_attrs_[x] : attrs_[Index(x, y)];
}

}  // namespace kal
