// The part of the console grid a terminal shows when it is smaller than the
// grid: a window that follows the cursor, so that what is being written and
// typed is always in sight.
//
// The window moves only when the cursor leaves it, and then just far enough
// to bring the cursor back in (on both axes), so the text does not jump
// while the cursor stays in view. A terminal at least as large as the grid
// shows all of it from the top-left corner.
#pragma once

namespace kal {

struct Viewport {
  int left = 0, top = 0;      // grid cell shown at the terminal's top-left corner
  int width = 0, height = 0;  // cells shown on each axis
  bool operator==(const Viewport&) const = default;
};

// Sizes *v for a terminal of cols x rows (0 or less: unknown, taken as the
// grid's size) showing a grid of grid_w x grid_h, and moves its origin as
// little as needed to show cell (x, y). x may be grid_w, the cursor parked
// past the last column, which shows as the last column.
void FitViewport(Viewport* v, int cols, int rows, int grid_w, int grid_h, int x, int y);

}  // namespace kal
