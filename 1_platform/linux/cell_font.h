// A monospaced font fitted to a character cell, with every Latin-1 glyph
// rendered once as a coverage map (0 background ... 255 letter colour), and
// the painting of runs of cells with it into a 32-bit pixel surface.
//
// The face is found through fontconfig by name and weight; when no installed
// face has that name, an installed monospaced face is used. The font size is the
// largest whose line height and advance fit the cell, so that a window that
// grows or shrinks gets a font to match.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "0_base/console_grid.h"

namespace kal {

// A font file and how to draw with it.
struct FontSource {
  std::string file;      // empty: no font at all
  bool embolden = false; // the weight asks for bold and the file is not: thicken its strokes
  bool operator==(const FontSource&) const = default;
};

// The font for a face name and weight (1-1000 as fonts count it, 0 for the
// regular style): the face itself when it is installed, else an installed
// monospaced face, in the style nearest the weight; when bold is asked for
// (600 and over) and the face has no bold style, its regular one thickened.
FontSource FindFont(const std::string& face, int weight);

class CellFont {
 public:
  CellFont() = default;
  ~CellFont();
  CellFont(const CellFont&) = delete;
  CellFont& operator=(const CellFont&) = delete;

  // Opens the font (once) and fits it to a cell of w x h pixels; false when
  // the file cannot be opened.
  bool Fit(const FontSource& source, int w, int h);

  int width() const { return w_; }
  int height() const { return h_; }
  // The baseline's distance from the cell's top.
  int baseline() const { return baseline_; }

  // Paints cells of text (Latin-1) at pixel (x, y) of a 32-bit surface,
  // clipped to it.
  void PaintRun(SDL_Surface* dst, int x, int y, const std::string& text, Rgb fg, Rgb bg);

 private:
  const std::array<uint32_t, 256>& Shades(SDL_PixelFormat* format, Rgb fg, Rgb bg);
  void RenderGlyphs();

  TTF_Font* font_ = nullptr;
  FontSource source_;
  int w_ = 0, h_ = 0, baseline_ = 0;
  std::vector<uint8_t> glyphs_;  // 256 coverage maps of w_ x h_
  std::unordered_map<uint64_t, std::array<uint32_t, 256>> shades_;
  uint32_t shades_format_ = 0;
};

}  // namespace kal
