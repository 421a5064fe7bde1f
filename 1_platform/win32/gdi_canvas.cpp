// Painting and putting together the layers of the console window.
#include "1_platform/win32/gdi_canvas.h"

#include <algorithm>
#include <cstring>

#include "1_platform/window_layout.h"

namespace kal {

namespace {

bool Intersect(const RECT& a, const RECT& b, RECT* out) { return IntersectRect(out, &a, &b) != 0; }

void Unite(RECT* all, const RECT& r) {
  if (IsRectEmpty(&r)) return;
  if (IsRectEmpty(all)) {
    *all = r;
  } else {
    UnionRect(all, all, &r);
  }
}

RECT Rect(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

// Copies rectangle r of the window's coordinates from a layer whose corner
// is at (ox, oy) of the window.
void CopyLayer(HDC to, const GdiLayer& from, int ox, int oy, const RECT& r) {
  RECT part;
  if (!from.ok() || !Intersect(r, Rect(ox, oy, from.w(), from.h()), &part)) return;
  BitBlt(to, part.left, part.top, part.right - part.left, part.bottom - part.top, from.dc(), part.left - ox,
         part.top - oy, SRCCOPY);
}

}  // namespace

bool GdiLayer::Make(int w, int h) {
  Free();
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  if (dc_) bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_ || !bits) {
    Free();
    return false;
  }
  old_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<uint32_t*>(bits);
  w_ = w;
  h_ = h;
  std::memset(bits_, 0, static_cast<size_t>(w) * h * 4);
  return true;
}

void GdiLayer::Free() {
  if (dc_ && old_) SelectObject(dc_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  old_ = nullptr;
  bits_ = nullptr;
  w_ = h_ = 0;
}

bool GdiCanvas::Open(HWND window, const std::wstring& face, int weight, int columns, int rows, int cell_w,
                     int cell_h) {
  window_ = window;
  face_ = face;
  weight_ = weight;
  columns_ = columns;
  rows_ = rows;
  if (!font_.Fit(face, weight, cell_w, cell_h)) return false;
  return cells_.Make(columns * cell_w, rows * cell_h) && MakeBack();
}

void GdiCanvas::Close() {
  for (GdiLayer* l : {&cells_, &strip_, &picture_, &back_}) l->Free();
  window_ = nullptr;
}

// The back buffer covers the window's inside and at least the grid.
bool GdiCanvas::MakeBack() {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  RECT g = GridRect();
  return back_.Make(std::max(client.right, g.right), std::max(client.bottom, g.bottom));
}

RECT GdiCanvas::GridRect() const { return Rect(0, 0, columns_ * font_.width(), rows_ * font_.height()); }

RECT GdiCanvas::CaretRect() const {
  return Rect(caret_column_ * font_.width(), caret_row_ * font_.height() + CaretTop(font_.baseline(), font_.height()),
              font_.width(), kCaretHeight);
}

RECT GdiCanvas::StripRect() const {
  return strip_.ok() ? Rect(0, strip_row_ * font_.height(), strip_.w(), strip_.h()) : RECT{0, 0, 0, 0};
}

bool GdiCanvas::Relayout(int w, int h) {
  if (!window_) return false;
  int cw = 0, ch = 0;
  CellOfWindow(w, h, columns_, rows_, &cw, &ch);
  bool changed = cw != font_.width() || ch != font_.height();
  if (changed) {
    font_.Fit(face_, weight_, cw, ch);
    cells_.Make(columns_ * font_.width(), rows_ * font_.height());
    PaintStrip();
  }
  MakeBack();
  if (!changed) ShowAll();
  return changed;
}

// Moves the painted cells up: the rows that come in are in the frame.
void GdiCanvas::ScrollCells(int rows) {
  int shift = rows * font_.height();
  if (!cells_.ok() || shift <= 0 || shift >= cells_.h()) return;
  GdiFlush();
  std::memmove(cells_.row(0), cells_.row(shift), static_cast<size_t>(cells_.h() - shift) * cells_.w() * 4);
}

void GdiCanvas::Apply(const PaintFrame& frame) {
  if (!cells_.ok()) return;
  RECT dirty{0, 0, 0, 0};
  if (frame.full || frame.scrolled_rows > 0) Unite(&dirty, GridRect());
  if (frame.scrolled_rows > 0) ScrollCells(frame.scrolled_rows);
  int cw = font_.width(), ch = font_.height();
  for (const CellRun& run : frame.runs) {
    font_.PaintRun(cells_.dc(), run.column * cw, run.row * ch, run.text, run.fg, run.bg);
    Unite(&dirty, Rect(run.column * cw, run.row * ch, static_cast<int>(run.text.size()) * cw, ch));
  }
  if (frame.strip_changed) {
    Unite(&dirty, StripRect());
    strip_factor_ = frame.strip_factor;
    strip_row_ = frame.strip_row;
    strip_runs_ = frame.strip_runs;
    PaintStrip();
    Unite(&dirty, StripRect());
  }
  int column = std::clamp(frame.cursor_column, 0, columns_ - 1), row = std::clamp(frame.cursor_row, 0, rows_ - 1);
  if (column != caret_column_ || row != caret_row_) {
    if (caret_on_) Unite(&dirty, CaretRect());
    caret_column_ = column;
    caret_row_ = row;
    if (caret_on_) Unite(&dirty, CaretRect());
  }
  Show(dirty);
}

// The strip's cells, strip_factor_ times the size of the grid's.
void GdiCanvas::PaintStrip() {
  strip_.Free();
  int f = strip_factor_;
  if (f < 1 || !cells_.ok()) return;
  int cells = columns_ / f;
  if (cells < 1 || !strip_font_.Fit(face_, weight_, font_.width() * f, font_.height() * f)) return;
  if (!strip_.Make(cells * strip_font_.width(), strip_font_.height())) return;
  for (const CellRun& run : strip_runs_)
    strip_font_.PaintRun(strip_.dc(), run.column * strip_font_.width(), 0, run.text, run.fg, run.bg);
}

void GdiCanvas::SetCaret(bool on) {
  if (on == caret_on_) return;
  caret_on_ = on;
  Show(CaretRect());
}

// Only the part of the picture that a window on this desktop can show is
// kept: a picture far larger than the screen, or placed far off it, costs
// no more than the screen.
void GdiCanvas::SetPicture(const Picture* picture, int x, int y) {
  RECT dirty{0, 0, 0, 0};
  if (picture_.ok()) Unite(&dirty, Rect(picture_x_, picture_y_, picture_.w(), picture_.h()));
  picture_.Free();
  if (picture && !picture->empty()) {
    int64_t right = std::min<int64_t>(int64_t{x} + picture->width, std::max(1, GetSystemMetrics(SM_CXVIRTUALSCREEN)));
    int64_t bottom = std::min<int64_t>(int64_t{y} + picture->height, std::max(1, GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    int left = std::max(0, x), top = std::max(0, y);
    if (right > left && bottom > top && picture_.Make(static_cast<int>(right - left), static_cast<int>(bottom - top))) {
      picture_x_ = left;
      picture_y_ = top;
      GdiFlush();
      for (int row = 0; row < picture_.h(); ++row) {
        uint32_t* out = picture_.row(row);
        for (int col = 0; col < picture_.w(); ++col) {
          const uint8_t* p = picture->Pixel(left - x + col, top - y + row);
          out[col] = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        }
      }
      Unite(&dirty, Rect(picture_x_, picture_y_, picture_.w(), picture_.h()));
    }
  }
  Show(dirty);
}

void GdiCanvas::ShowAll() {
  if (back_.ok()) Show(Rect(0, 0, back_.w(), back_.h()));
}

// One rectangle of the back buffer from the layers, bottom first.
void GdiCanvas::Compose(const RECT& r) {
  HDC dc = back_.dc();
  PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, BLACKNESS);
  CopyLayer(dc, cells_, 0, 0, r);
  CopyLayer(dc, picture_, picture_x_, picture_y_, r);
  CopyLayer(dc, strip_, 0, strip_row_ * font_.height(), r);
  RECT caret;
  if (caret_on_ && Intersect(r, CaretRect(), &caret))
    PatBlt(dc, caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top, DSTINVERT);
}

void GdiCanvas::Show(const RECT& r) {
  RECT part;
  if (!window_ || !back_.ok() || !Intersect(r, Rect(0, 0, back_.w(), back_.h()), &part)) return;
  Compose(part);
  HDC dc = GetDC(window_);
  if (!dc) return;
  BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, back_.dc(), part.left, part.top,
         SRCCOPY);
  ReleaseDC(window_, dc);
}

void GdiCanvas::PaintTo(HDC dc, const RECT& r) {
  RECT part;
  if (!back_.ok() || !Intersect(r, Rect(0, 0, back_.w(), back_.h()), &part)) return;
  BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, back_.dc(), part.left, part.top,
         SRCCOPY);
}

}  // namespace kal
