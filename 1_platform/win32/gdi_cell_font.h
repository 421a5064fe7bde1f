// A fixed-pitch GDI font fitted to a character cell, and the painting of
// runs of cells with it.
//
// The face named in Talven.ini is used when the system has it, else Courier
// New. The font size is the largest whose line height and advance fit the
// cell, so that a window that grows or shrinks gets a font to match; every
// character is placed at its cell's left edge whatever the face's own
// advance, so that columns stay straight.
#pragma once

#include <windows.h>

#include <string>

#include "0_base/console_grid.h"

namespace kal {

// The face to use for a Talven.ini face name (Latin-1): the name itself
// when an installed font family has it, else Courier New.
std::wstring ChooseFace(const std::string& face);

class GdiCellFont {
 public:
  GdiCellFont() = default;
  ~GdiCellFont();
  GdiCellFont(const GdiCellFont&) = delete;
  GdiCellFont& operator=(const GdiCellFont&) = delete;

  // Fits the face in the weight (1-1000, 700 bold; 0 regular) to a cell of
  // w x h pixels; false when no font can be made.
  bool Fit(const std::wstring& face, int weight, int w, int h);

  int width() const { return w_; }
  int height() const { return h_; }
  // The baseline's distance from the cell's top.
  int baseline() const { return baseline_; }

  // Paints cells of text (Latin-1) with their top-left corner at (x, y) of
  // the device context, clipped to the cells.
  void PaintRun(HDC dc, int x, int y, const std::string& text, Rgb fg, Rgb bg) const;

 private:
  void Release();

  HFONT font_ = nullptr;
  int w_ = 0, h_ = 0;
  int top_ = 0;       // the glyphs' top within the cell (the font is centred)
  int baseline_ = 0;
};

}  // namespace kal
