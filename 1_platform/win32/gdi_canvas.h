// What the console window shows, in layers kept in memory bitmaps: the
// cells (painted as frames come), the picture over them, the magnified
// strip over the top rows (or the bottom ones), and the caret. A change is
// put together in a back buffer of the window's size and reaches the window
// in one BitBlt, so nothing flickers; a repaint of the window (WM_PAINT) is
// a copy from the back buffer.
//
// The cell size follows the window: when the window is resized, the cells
// become the window's size divided by the grid, the font is fitted again and
// the caller paints a full frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "0_base/picture.h"
#include "1_platform/cell_paint.h"
#include "1_platform/win32/gdi_cell_font.h"

namespace kal {

// A 32-bit top-down bitmap selected into a memory device context.
class GdiLayer {
 public:
  GdiLayer() = default;
  ~GdiLayer() { Free(); }
  GdiLayer(const GdiLayer&) = delete;
  GdiLayer& operator=(const GdiLayer&) = delete;

  // A black bitmap of w x h; false (and none) when it cannot be made.
  bool Make(int w, int h);
  void Free();

  HDC dc() const { return dc_; }
  int w() const { return w_; }
  int h() const { return h_; }
  bool ok() const { return dc_ != nullptr; }
  // Pixels as 0x00RRGGBB, row after row; GdiFlush() before touching them.
  uint32_t* row(int y) { return bits_ + static_cast<size_t>(y) * w_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
  int w_ = 0, h_ = 0;
};

class GdiCanvas {
 public:
  // Cells of cell_w x cell_h in a grid of columns x rows, the face and weight
  // for the cells and the strip.
  bool Open(HWND window, const std::wstring& face, int weight, int columns, int rows, int cell_w, int cell_h);
  void Close();

  // The window's inside is now w x h: true when the cell size changed with
  // it, and the caller must paint a full frame.
  bool Relayout(int w, int h);

  void Apply(const PaintFrame& frame);
  void SetCaret(bool on);
  // Replaces the picture (nullptr: none) and shows the change.
  void SetPicture(const Picture* picture, int x, int y);
  // Copies the back buffer's rectangle to a window's device context.
  void PaintTo(HDC dc, const RECT& r);
  // Puts everything together again and shows it.
  void ShowAll();

  int cell_width() const { return font_.width(); }
  int cell_height() const { return font_.height(); }

 private:
  RECT GridRect() const;
  RECT CaretRect() const;
  RECT StripRect() const;
  bool MakeBack();
  void ScrollCells(int rows);
  void PaintStrip();
  void Compose(const RECT& r);
  void Show(const RECT& r);

  HWND window_ = nullptr;
  std::wstring face_;
  int weight_ = 0;
  GdiCellFont font_;
  GdiCellFont strip_font_;
  int columns_ = 0, rows_ = 0;
  GdiLayer cells_, strip_, picture_, back_;
  int picture_x_ = 0, picture_y_ = 0;  // where the picture layer's corner is
  int strip_factor_ = 0;
  int strip_row_ = 0;  // the grid row at the strip's top edge
  std::vector<CellRun> strip_runs_;
  bool caret_on_ = false;
  int caret_column_ = 0, caret_row_ = 0;
};

}  // namespace kal
