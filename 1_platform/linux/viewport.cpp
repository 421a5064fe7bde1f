#include "1_platform/linux/viewport.h"

#include <algorithm>

namespace kal {
namespace {

// One axis: the view's start so that pos lies in [start, start + size),
// moved as little as possible and kept inside [0, total).
int Follow(int start, int size, int total, int pos) {
  pos = std::clamp(pos, 0, total - 1);
  if (pos < start) start = pos;
  if (pos >= start + size) start = pos - size + 1;
  return std::clamp(start, 0, total - size);
}

}  // namespace

void FitViewport(Viewport* v, int cols, int rows, int grid_w, int grid_h, int x, int y) {
  v->width = cols > 0 ? std::min(cols, grid_w) : grid_w;
  v->height = rows > 0 ? std::min(rows, grid_h) : grid_h;
  v->left = Follow(v->left, v->width, grid_w, x);
  v->top = Follow(v->top, v->height, grid_h, y);
}

}  // namespace kal
