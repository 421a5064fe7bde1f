// A picture as the console shows it: 24-bit colour pixels, top row first.
// Loaders (bitmap files, JPEG) fill it; front ends that can show pictures
// draw it at a pixel position of the window.
#pragma once

#include <cstdint>
#include <vector>

namespace kal {

struct Picture {
  int width = 0;
  int height = 0;
  bool grey = false;          // every pixel is a shade of grey (8-bit source)
  std::vector<uint8_t> rgb;   // width * height * 3 bytes: red, green, blue

  bool empty() const { return width <= 0 || height <= 0; }
  const uint8_t* Pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The largest picture any loader accepts: a side of 16384 pixels and 32
// million pixels in all (96 MB of pixels), so that a file that claims huge
// dimensions cannot make the program allocate without bound.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = 32 * 1024 * 1024;

inline bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace kal
