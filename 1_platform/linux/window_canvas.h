// What the console window shows, in layers: the cells (painted into a
// surface of their own as frames come), the picture over them, the
// magnified strip over the top rows (or the bottom ones), and the caret.
// Only the rectangles that changed are put together on the window's surface
// and sent to the display.
//
// The cell size follows the window: when the window is resized, the cells
// become the window's size divided by the grid, the font is fitted again and
// every cell is painted anew.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "0_base/picture.h"
#include "1_platform/cell_paint.h"
#include "1_platform/linux/cell_font.h"

namespace kal {

class WindowCanvas {
 public:
  WindowCanvas() = default;
  ~WindowCanvas();
  WindowCanvas(const WindowCanvas&) = delete;
  WindowCanvas& operator=(const WindowCanvas&) = delete;

  // Cells of cell_w x cell_h in a grid of columns x rows on the window.
  bool Open(SDL_Window* window, const FontSource& font, int columns, int rows, int cell_w, int cell_h);
  void Close();

  // The window's size changed: true when the cell size changed with it, and
  // the caller must paint a full frame.
  bool Relayout();

  void Apply(const PaintFrame& frame);
  void SetCaret(bool on);
  // Replaces the picture (nullptr: none) and shows the change.
  void SetPicture(const Picture* picture, int x, int y);
  // Everything again (the window was exposed).
  void ShowAll();

  int cell_width() const { return font_.width(); }
  int cell_height() const { return font_.height(); }

 private:
  SDL_Rect GridRect() const;
  SDL_Rect CaretRect() const;
  SDL_Rect StripRect() const;
  void RecreateCells();
  void ScrollCells(int rows);
  void PaintStrip();
  void Show(std::vector<SDL_Rect> rects);
  void ComposeRect(SDL_Surface* win, const SDL_Rect& r);

  SDL_Window* window_ = nullptr;
  FontSource source_;
  CellFont font_;
  CellFont strip_font_;
  int columns_ = 0, rows_ = 0;
  SDL_Surface* cells_ = nullptr;
  SDL_Surface* strip_ = nullptr;
  SDL_Surface* picture_ = nullptr;
  int picture_x_ = 0, picture_y_ = 0;
  int strip_factor_ = 0;
  int strip_row_ = 0;  // the grid row at the strip's top edge
  std::vector<CellRun> strip_runs_;
  bool caret_on_ = false;
  int caret_column_ = 0, caret_row_ = 0;
};

}  // namespace kal
