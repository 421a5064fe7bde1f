// Painting and putting together the layers of the console window.
#if KALDORIN_HAVE_WINDOW
#include "1_platform/linux/window_canvas.h"

#include <algorithm>
#include <cstring>

#include "1_platform/window_layout.h"

namespace kal {

namespace {

// More changed rectangles than this are sent as the one that holds them all.
constexpr size_t kMaxRects = 24;

bool Intersect(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect* out) {
  return SDL_IntersectRect(&a, &b, out) == SDL_TRUE;
}

SDL_Rect Bounding(const std::vector<SDL_Rect>& rects) {
  SDL_Rect all = rects[0];
  for (const SDL_Rect& r : rects) SDL_UnionRect(&all, &r, &all);
  return all;
}

// Turns the pixels of a rectangle of a 32-bit surface to their opposite.
void Invert(SDL_Surface* s, const SDL_Rect& r) {
  if (s->format->BytesPerPixel != 4) return;
  uint32_t colour_bits = s->format->Rmask | s->format->Gmask | s->format->Bmask;
  for (int y = r.y; y < r.y + r.h; ++y) {
    uint32_t* p = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch) + r.x;
    for (int x = 0; x < r.w; ++x) p[x] ^= colour_bits;
  }
}

}  // namespace

WindowCanvas::~WindowCanvas() { Close(); }

bool WindowCanvas::Open(SDL_Window* window, const FontSource& font, int columns, int rows, int cell_w,
                        int cell_h) {
  window_ = window;
  source_ = font;
  columns_ = columns;
  rows_ = rows;
  if (!font_.Fit(source_, cell_w, cell_h)) return false;
  RecreateCells();
  return cells_ != nullptr;
}

void WindowCanvas::Close() {
  for (SDL_Surface** s : {&cells_, &strip_, &picture_}) {
    if (*s) SDL_FreeSurface(*s);
    *s = nullptr;
  }
  window_ = nullptr;
}

SDL_Rect WindowCanvas::GridRect() const { return {0, 0, columns_ * font_.width(), rows_ * font_.height()}; }

SDL_Rect WindowCanvas::CaretRect() const {
  int y = CaretTop(font_.baseline(), font_.height());
  return {caret_column_ * font_.width(), caret_row_ * font_.height() + y, font_.width(), kCaretHeight};
}

SDL_Rect WindowCanvas::StripRect() const {
  if (!strip_) return {0, 0, 0, 0};
  return {0, strip_row_ * font_.height(), strip_->w, strip_->h};
}

void WindowCanvas::RecreateCells() {
  if (cells_) SDL_FreeSurface(cells_);
  SDL_Surface* win = SDL_GetWindowSurface(window_);
  Uint32 format = SDL_PIXELFORMAT_RGB888;
  if (win && win->format->BytesPerPixel == 4) format = win->format->format;
  SDL_Rect g = GridRect();
  cells_ = SDL_CreateRGBSurfaceWithFormat(0, g.w, g.h, 32, format);
  if (cells_) SDL_FillRect(cells_, nullptr, SDL_MapRGB(cells_->format, 0, 0, 0));
}

bool WindowCanvas::Relayout() {
  if (!window_) return false;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  int cw = 0, ch = 0;
  CellOfWindow(w, h, columns_, rows_, &cw, &ch);
  if (cw == font_.width() && ch == font_.height()) {
    ShowAll();
    return false;
  }
  font_.Fit(source_, cw, ch);
  RecreateCells();
  PaintStrip();
  return true;
}

void WindowCanvas::ScrollCells(int rows) {
  int shift = rows * font_.height();
  if (!cells_ || shift <= 0 || shift >= cells_->h) return;
  uint8_t* pixels = static_cast<uint8_t*>(cells_->pixels);
  std::memmove(pixels, pixels + shift * cells_->pitch, static_cast<size_t>(cells_->h - shift) * cells_->pitch);
}

void WindowCanvas::Apply(const PaintFrame& frame) {
  if (!cells_) return;
  std::vector<SDL_Rect> dirty;
  if (frame.full || frame.scrolled_rows > 0) dirty.push_back(GridRect());
  if (frame.scrolled_rows > 0) ScrollCells(frame.scrolled_rows);
  int cw = font_.width(), ch = font_.height();
  for (const CellRun& run : frame.runs) {
    font_.PaintRun(cells_, run.column * cw, run.row * ch, run.text, run.fg, run.bg);
    dirty.push_back({run.column * cw, run.row * ch, static_cast<int>(run.text.size()) * cw, ch});
  }
  if (frame.strip_changed) {
    if (strip_) dirty.push_back(StripRect());
    strip_factor_ = frame.strip_factor;
    strip_row_ = frame.strip_row;
    strip_runs_ = frame.strip_runs;
    PaintStrip();
    if (strip_) dirty.push_back(StripRect());
  }
  int column = std::clamp(frame.cursor_column, 0, columns_ - 1), row = std::clamp(frame.cursor_row, 0, rows_ - 1);
  if (column != caret_column_ || row != caret_row_) {
    if (caret_on_) dirty.push_back(CaretRect());
    caret_column_ = column;
    caret_row_ = row;
    if (caret_on_) dirty.push_back(CaretRect());
  }
  Show(std::move(dirty));
}

// The strip's cells, strip_factor_ times the size of the grid's, painted
// into a surface of their own.
void WindowCanvas::PaintStrip() {
  if (strip_) SDL_FreeSurface(strip_);
  strip_ = nullptr;
  int f = strip_factor_;
  if (f < 1 || !cells_) return;
  int cells = columns_ / f;
  if (!strip_font_.Fit(source_, font_.width() * f, font_.height() * f)) return;
  strip_ = SDL_CreateRGBSurfaceWithFormat(0, cells * strip_font_.width(), strip_font_.height(), 32,
                                          cells_->format->format);
  if (!strip_) return;
  SDL_FillRect(strip_, nullptr, SDL_MapRGB(strip_->format, 0, 0, 0));
  for (const CellRun& run : strip_runs_)
    strip_font_.PaintRun(strip_, run.column * strip_font_.width(), 0, run.text, run.fg, run.bg);
}

void WindowCanvas::SetCaret(bool on) {
  if (on == caret_on_) return;
  caret_on_ = on;
  Show({CaretRect()});
}

void WindowCanvas::SetPicture(const Picture* picture, int x, int y) {
  std::vector<SDL_Rect> dirty;
  if (picture_) {
    dirty.push_back({picture_x_, picture_y_, picture_->w, picture_->h});
    SDL_FreeSurface(picture_);
    picture_ = nullptr;
  }
  if (picture && cells_) {
    SDL_Surface* rgb = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(picture->rgb.data()), picture->width,
                                                          picture->height, 24, picture->width * 3,
                                                          SDL_PIXELFORMAT_RGB24);
    if (rgb) {
      picture_ = SDL_ConvertSurfaceFormat(rgb, cells_->format->format, 0);
      SDL_FreeSurface(rgb);
    }
    picture_x_ = x;
    picture_y_ = y;
    if (picture_) dirty.push_back({x, y, picture_->w, picture_->h});
  }
  if (!dirty.empty()) Show(std::move(dirty));
}

void WindowCanvas::ShowAll() {
  if (!window_) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  Show({SDL_Rect{0, 0, w, h}});
}

// One rectangle of the window from the layers, bottom first.
void WindowCanvas::ComposeRect(SDL_Surface* win, const SDL_Rect& r) {
  SDL_Rect grid = GridRect(), part;
  if (!Intersect(r, grid, &part) || part.w != r.w || part.h != r.h) {
    SDL_Rect fill = r;
    SDL_FillRect(win, &fill, SDL_MapRGB(win->format, 0, 0, 0));
  }
  if (Intersect(r, grid, &part)) {
    SDL_Rect src = part, dst = part;
    SDL_BlitSurface(cells_, &src, win, &dst);
  }
  if (picture_) {
    SDL_Rect where{picture_x_, picture_y_, picture_->w, picture_->h};
    if (Intersect(r, where, &part)) {
      SDL_Rect src{part.x - picture_x_, part.y - picture_y_, part.w, part.h}, dst = part;
      SDL_BlitSurface(picture_, &src, win, &dst);
    }
  }
  SDL_Rect strip = StripRect();
  if (strip_ && Intersect(r, strip, &part)) {
    SDL_Rect src{part.x - strip.x, part.y - strip.y, part.w, part.h}, dst = part;
    SDL_BlitSurface(strip_, &src, win, &dst);
  }
  if (caret_on_ && Intersect(r, CaretRect(), &part)) Invert(win, part);
}

void WindowCanvas::Show(std::vector<SDL_Rect> rects) {
  if (!window_ || !cells_ || rects.empty()) return;
  SDL_Surface* win = SDL_GetWindowSurface(window_);
  if (!win) return;
  if (rects.size() > kMaxRects) rects = {Bounding(rects)};
  SDL_Rect whole{0, 0, win->w, win->h};
  std::vector<SDL_Rect> shown;
  for (const SDL_Rect& r : rects) {
    SDL_Rect clipped;
    if (!Intersect(r, whole, &clipped)) continue;
    ComposeRect(win, clipped);
    shown.push_back(clipped);
  }
  if (!shown.empty()) SDL_UpdateWindowSurfaceRects(window_, shown.data(), static_cast<int>(shown.size()));
}

}  // namespace kal

#endif  // KALDORIN_HAVE_WINDOW
