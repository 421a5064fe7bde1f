// Measures of the console window.
#include "1_platform/window_layout.h"

#include <algorithm>
#include <cmath>

namespace kal {

void FitCellToWorkArea(int area_w, int area_h, int columns, int rows, int* cell_w, int* cell_h) {
  if (area_w <= 0 || area_h <= 0) area_w = 1024, area_h = 734;
  if (*cell_w <= 0) *cell_w = static_cast<int>(std::lround(area_w * 13.0 / 1024));
  if (*cell_h <= 0) *cell_h = static_cast<int>(std::lround(area_h * 28.0 / 734));
  *cell_w = std::max(kMinCellWidth, std::min(*cell_w, area_w / columns));
  *cell_h = std::max(kMinCellHeight, std::min(*cell_h, area_h / rows));
}

void CellOfWindow(int w, int h, int columns, int rows, int* cell_w, int* cell_h) {
  *cell_w = std::max(kMinCellWidth, w / columns);
  *cell_h = std::max(kMinCellHeight, h / rows);
}

int CaretTop(int baseline, int cell_h) { return std::max(0, std::min(baseline, cell_h - kCaretHeight)); }

std::string PrintableTitle(std::string_view latin1) {
  std::string clean;
  for (unsigned char c : latin1)
    if (c >= 32 && !(c >= 127 && c < 160)) clean.push_back(static_cast<char>(c));
  return clean;
}

}  // namespace kal
