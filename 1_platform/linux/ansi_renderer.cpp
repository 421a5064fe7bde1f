// The ANSI renderer: the grid's changed cells as terminal sequences.
#include "1_platform/linux/ansi_renderer.h"

#include <algorithm>

namespace kal {

namespace {

// How many unchanged cells are rewritten rather than jumped over: a cursor
// move costs more bytes than a few characters.
constexpr int kGapRewrite = 3;

// xterm's default values of the 16 standard colours.
constexpr Rgb kAnsi16[16] = {
    {0, 0, 0},       {205, 0, 0},   {0, 205, 0},   {205, 205, 0},
    {0, 0, 238},     {205, 0, 205}, {0, 205, 205}, {229, 229, 229},
    {127, 127, 127}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {92, 92, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

// Windows code page characters of bytes 128-159 (0 where it has none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::string Utf8Of(unsigned cp) {
  std::string s;
  if (cp < 0x80) {
    s.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return s;
}

void AppendNumber(int n, std::string* out) { *out += std::to_string(n); }

}  // namespace

const std::string& DisplayUtf8(uint8_t c) {
  static const std::array<std::string, 256> table = [] {
    std::array<std::string, 256> t;
    for (int i = 0; i < 256; ++i) {
      unsigned cp = static_cast<unsigned>(i);
      if (i < 32 || i == 127) cp = '?';
      if (i >= 128 && i < 160) cp = kCp1252High[i - 128] ? kCp1252High[i - 128] : '?';
      t[i] = Utf8Of(cp);
    }
    return t;
  }();
  return table[c];
}

int NearestAnsiColour(Rgb rgb) {
  // The console's own 16 colours, matched by eye: plain distance would put
  // the light tints (128,255,128 and the like) on grey and the dark grey
  // and brown on black, where text and selection would vanish.
  static constexpr int kForPalette[16] = {0, 4, 10, 14, 9, 5, 1, 7, 8, 12, 10, 14, 9, 13, 11, 15};
  for (int i = 0; i < 16; ++i)
    if (PaletteRgb(i) == rgb) return kForPalette[i];
  int best = 0;
  long best_d = -1;
  for (int i = 0; i < 16; ++i) {
    long dr = rgb.r - kAnsi16[i].r, dg = rgb.g - kAnsi16[i].g, db = rgb.b - kAnsi16[i].b;
    long d = dr * dr + dg * dg + db * db;
    if (best_d < 0 || d < best_d) {
      best_d = d;
      best = i;
    }
  }
  return best;
}

std::string ScreenText(const ConsoleGrid& grid) {
  std::string text, blank_lines;
  for (int y = 0; y < grid.height(); ++y) {
    int end = grid.width();
    while (end > 0 && grid.ShownCell(end - 1, y) == ' ') --end;
    if (end == 0) {
      blank_lines += '\n';  // kept only when text follows
      continue;
    }
    text += blank_lines;
    blank_lines.clear();
    for (int x = 0; x < end; ++x) text += DisplayUtf8(static_cast<uint8_t>(grid.ShownCell(x, y)));
    text += '\n';
  }
  return text;
}

AnsiRenderer::AnsiRenderer(int width, int height, bool truecolor)
    : grid_h_(height), width_(width), height_(height), truecolor_(truecolor), shown_(width * height) {
  view_.width = width;
  view_.height = height;
}

void AnsiRenderer::Invalidate() {
  for (Cell& c : shown_) c.known = false;
  cur_x_ = cur_y_ = -1;
  attr_ = -1;
}

void AnsiRenderer::SetTerminalSize(int cols, int rows) {
  cols_ = cols;
  rows_ = rows;
  scroll_synced_ = false;
  Invalidate();
}

bool AnsiRenderer::SmallerThan(int grid_w, int grid_h) const {
  return cols_ > 0 && rows_ > 0 && (cols_ < grid_w || rows_ < grid_h);
}

// The cells drawn change with the viewport's size; what the terminal shows
// there is then unknown.
void AnsiRenderer::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  shown_.assign(static_cast<size_t>(width) * height, Cell{});
  Invalidate();
}

// The scrolling region: the rows the grid is drawn on.
std::string AnsiRenderer::Setup() const {
  int rows = rows_ > 0 ? std::min(rows_, grid_h_) : grid_h_;
  std::string s = "\x1b[1;";
  AppendNumber(rows, &s);
  s += "r";
  return s;
}

std::string AnsiRenderer::Render(const ConsoleGrid& grid) {
  std::string out;
  for (int i = 0; i < 16; ++i) {
    Rgb now = grid.ColourRgb(i);
    if (now == colours_[i]) continue;
    colours_[i] = now;
    attr_ = -1;
    for (Cell& c : shown_) c.known = false;
  }
  FitViewport(&view_, cols_, rows_, grid.width(), grid.height(), grid.X(), grid.Y());
  Resize(view_.width, view_.height);
  ApplyScroll(grid, &out);
  for (int y = 0; y < height_; ++y) DrawRow(grid, y, &out);
  MoveTo(std::min(grid.X(), grid.width() - 1) - view_.left, grid.Y() - view_.top, &out);
  return out;
}

// Rows the grid scrolled since the last drawing are scrolled on the
// terminal as well: a line feed on the bottom row of the scrolling region.
void AnsiRenderer::ApplyScroll(const ConsoleGrid& grid, std::string* out) {
  uint64_t count = grid.scroll_count();
  if (!scroll_synced_ || count < scroll_seen_) {
    scroll_synced_ = true;
    scroll_seen_ = count;
    return;
  }
  uint64_t k = count - scroll_seen_;
  scroll_seen_ = count;
  if (k == 0) return;
  if (k >= static_cast<uint64_t>(height_)) {
    for (Cell& c : shown_) c.known = false;
    return;
  }
  // Terminals fill a scrolled-in row with the current background colour,
  // so the new rows are known to be blank in the grid's attribute.
  uint8_t fill = grid.attribute();
  MoveTo(0, height_ - 1, out);
  SetAttr(fill, out);
  out->append(k, '\n');  // from column 0, with or without the carriage return
  int n = static_cast<int>(k) * width_;
  std::move(shown_.begin() + n, shown_.end(), shown_.begin());
  for (auto it = shown_.end() - n; it != shown_.end(); ++it) *it = Cell{' ', fill, true};
}

// Row y of the terminal: row view_.top + y of the grid, from column
// view_.left on.
void AnsiRenderer::DrawRow(const ConsoleGrid& grid, int y, std::string* out) {
  int w = width_;
  int gx = view_.left, gy = view_.top + y;
  auto wanted = [&](int x) { return Cell{grid.ShownCell(gx + x, gy), grid.ShownAttr(gx + x, gy), true}; };
  auto changed = [&](int x) { return !(shown_[y * width_ + x] == wanted(x)); };
  for (int x = 0; x < w; ++x) {
    Cell want = wanted(x);
    if (changed(x)) {
      MoveTo(x, y, out);
      PutCell(x, y, want.c, want.attr, out);
      continue;
    }
    // An unchanged cell right at the cursor, with a change close behind it
    // in the same colours: writing it is cheaper than moving past it.
    if (cur_x_ != x || cur_y_ != y || want.attr != attr_) continue;
    for (int k = 1; k <= kGapRewrite && x + k < w; ++k) {
      if (changed(x + k)) {
        PutCell(x, y, want.c, want.attr, out);
        break;
      }
    }
  }
}

void AnsiRenderer::MoveTo(int x, int y, std::string* out) {
  if (x == cur_x_ && y == cur_y_) return;
  *out += "\x1b[";
  if (y == cur_y_ && cur_x_ >= 0) {
    AppendNumber(x + 1, out);
    *out += 'G';
  } else {
    AppendNumber(y + 1, out);
    if (x > 0) {
      *out += ';';
      AppendNumber(x + 1, out);
    }
    *out += 'H';
  }
  cur_x_ = x;
  cur_y_ = y;
}

void AnsiRenderer::SetAttr(uint8_t attr, std::string* out) {
  if (attr_ == attr) return;
  *out += ColourSgr(attr);
  attr_ = attr;
}

void AnsiRenderer::PutCell(int x, int y, char c, uint8_t attr, std::string* out) {
  SetAttr(attr, out);
  *out += DisplayUtf8(static_cast<uint8_t>(c));
  shown_[y * width_ + x] = Cell{c, attr, true};
  cur_x_ = x + 1 < width_ ? x + 1 : -1;  // past the last column: unsure
}

std::string AnsiRenderer::ColourSgr(uint8_t attr) const {
  Rgb fg = colours_[attr & 15], bg = colours_[attr >> 4];
  std::string s = "\x1b[";
  if (truecolor_) {
    for (int part = 0; part < 2; ++part) {
      Rgb c = part == 0 ? fg : bg;
      s += part == 0 ? "38;2;" : ";48;2;";
      AppendNumber(c.r, &s);
      s += ';';
      AppendNumber(c.g, &s);
      s += ';';
      AppendNumber(c.b, &s);
    }
  } else {
    int f = NearestAnsiColour(fg), b = NearestAnsiColour(bg);
    AppendNumber(f < 8 ? 30 + f : 90 + f - 8, &s);
    s += ';';
    AppendNumber(b < 8 ? 40 + b : 100 + b - 8, &s);
  }
  s += 'm';
  return s;
}

}  // namespace kal
