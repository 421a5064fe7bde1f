// Walking the segments of a JPEG file up to its frame header.
#include "0_base/jpeg_header.h"

#include <cstddef>
#include <cstdint>

namespace kal {

namespace {

uint8_t At(std::string_view b, size_t i) { return static_cast<uint8_t>(b[i]); }
int Be16(std::string_view b, size_t i) { return At(b, i) << 8 | At(b, i + 1); }

// Start-of-frame markers: C0-CF but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// Markers that stand alone, without a length: TEM and RST0-7.
bool StandsAlone(uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7); }

}  // namespace

bool JpegFrameSize(std::string_view b, int* width, int* height) {
  if (b.size() < 4 || At(b, 0) != 0xFF || At(b, 1) != 0xD8) return false;
  size_t i = 2;
  for (;;) {
    if (i >= b.size() || At(b, i) != 0xFF) return false;
    while (i < b.size() && At(b, i) == 0xFF) ++i;  // fill bytes
    if (i >= b.size()) return false;
    uint8_t m = At(b, i++);
    if (StandsAlone(m)) continue;
    if (m == 0xD8 || m == 0xD9 || m == 0xDA || i + 2 > b.size()) return false;
    int length = Be16(b, i);
    if (length < 2 || i + static_cast<size_t>(length) > b.size()) return false;
    if (IsFrameHeader(m)) {
      if (length < 7) return false;
      *height = Be16(b, i + 3);
      *width = Be16(b, i + 5);
      return *height > 0 && *width > 0;
    }
    i += static_cast<size_t>(length);
  }
}

}  // namespace kal
