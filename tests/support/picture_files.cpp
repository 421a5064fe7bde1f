// Pictures made by tests.
#include "tests/support/picture_files.h"

namespace kal::test {

Picture SolidPicture(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  Picture p;
  p.width = w;
  p.height = h;
  p.grey = r == g && g == b;
  for (int i = 0; i < w * h; ++i) {
    p.rgb.push_back(r);
    p.rgb.push_back(g);
    p.rgb.push_back(b);
  }
  return p;
}

}  // namespace kal::test
