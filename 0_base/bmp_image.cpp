// Reading and writing bitmap files.
#include "0_base/bmp_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kal {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgbCompression = 0;
constexpr uint32_t kBitfieldsCompression = 3;

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

bool Fail(BmpError* err, BmpError why) {
  if (err) *err = why;
  return false;
}

// One colour channel described by a mask of a 16- or 32-bit pixel.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!mask) return;
    while (!((mask >> shift) & 1)) ++shift;
    max = mask >> shift;
  }
  uint8_t Of(uint32_t pixel) const {
    if (!max) return 0;
    return static_cast<uint8_t>(static_cast<uint64_t>((pixel & mask) >> shift) * 255 / max);
  }
};

// What the headers say, checked.
struct Layout {
  int width = 0, height = 0;
  bool top_down = false;
  int bits = 0;
  uint32_t pixel_offset = 0;
  uint64_t stride = 0;
  std::vector<std::array<uint8_t, 3>> palette;  // RGB
  std::array<uint32_t, 3> masks{};              // red, green, blue
};

bool ReadLayout(const ByteReader& read, uint64_t file_size, Layout* l, BmpError* err) {
  uint8_t h[kFileHeaderSize + kInfoHeaderSize];
  if (file_size < sizeof h || !read(0, h, sizeof h)) return Fail(err, BmpError::kNotBitmap);
  if (h[0] != 'B' || h[1] != 'M') return Fail(err, BmpError::kNotBitmap);
  if (U32(h + 14) != kInfoHeaderSize) return Fail(err, BmpError::kHeader);
  const uint8_t* info = h + kFileHeaderSize;
  int64_t width = S32(info + 4), height = S32(info + 8);
  uint32_t planes = U16(info + 12), compression = U32(info + 16), used = U32(info + 32);
  l->bits = static_cast<int>(U16(info + 14));
  l->pixel_offset = U32(h + 10);
  static constexpr int kBits[] = {1, 4, 8, 16, 24, 32};
  if (planes != 1 || std::find(std::begin(kBits), std::end(kBits), l->bits) == std::end(kBits))
    return Fail(err, BmpError::kUnsupported);
  bool masked = compression == kBitfieldsCompression && (l->bits == 16 || l->bits == 32);
  if (compression != kRgbCompression && !masked) return Fail(err, BmpError::kUnsupported);
  l->top_down = height < 0;
  if (height < 0) height = -height;
  if (!PictureSizeAllowed(width, height)) return Fail(err, BmpError::kTooLarge);
  l->width = static_cast<int>(width);
  l->height = static_cast<int>(height);
  l->stride = (static_cast<uint64_t>(width) * l->bits + 31) / 32 * 4;
  uint64_t image = l->stride * static_cast<uint64_t>(height);
  if (l->pixel_offset > file_size || image > file_size - l->pixel_offset) return Fail(err, BmpError::kTruncated);
  uint64_t after_info = kFileHeaderSize + kInfoHeaderSize;
  if (masked) {
    uint8_t m[12];
    if (!read(after_info, m, sizeof m)) return Fail(err, BmpError::kTruncated);
    l->masks = {U32(m), U32(m + 4), U32(m + 8)};
  } else if (l->bits == 16) {
    l->masks = {0x7C00, 0x03E0, 0x001F};
  } else if (l->bits == 32) {
    l->masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  if (l->bits <= 8) {
    // No count means the full palette of the bit count; more than 256
    // entries is no palette of any bitmap.
    if (used > 256) return Fail(err, BmpError::kUnsupported);
    uint32_t entries = used ? used : 1u << l->bits;
    std::vector<uint8_t> raw(entries * 4);
    if (after_info + raw.size() > file_size || !read(after_info, raw.data(), raw.size()))
      return Fail(err, BmpError::kTruncated);
    for (uint32_t i = 0; i < entries; ++i) l->palette.push_back({raw[i * 4 + 2], raw[i * 4 + 1], raw[i * 4]});
  }
  return true;
}

// One stored row into RGB pixels.
void ConvertRow(const Layout& l, const uint8_t* row, uint8_t* out) {
  Channel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]);
  for (int x = 0; x < l.width; ++x, out += 3) {
    if (l.bits <= 8) {
      int per_byte = 8 / l.bits;
      int shift = 8 - l.bits * (x % per_byte + 1);
      uint32_t index = (row[x / per_byte] >> shift) & ((1u << l.bits) - 1);
      static constexpr std::array<uint8_t, 3> kBlack{0, 0, 0};
      const auto& c = index < l.palette.size() ? l.palette[index] : kBlack;
      std::memcpy(out, c.data(), 3);
    } else if (l.bits == 24) {
      out[0] = row[x * 3 + 2];
      out[1] = row[x * 3 + 1];
      out[2] = row[x * 3];
    } else {
      uint32_t p = l.bits == 16 ? U16(row + x * 2) : U32(row + x * 4);
      out[0] = r.Of(p);
      out[1] = g.Of(p);
      out[2] = b.Of(p);
    }
  }
}

bool AllGrey(const Picture& p) {
  for (size_t i = 0; i + 2 < p.rgb.size(); i += 3)
    if (p.rgb[i] != p.rgb[i + 1] || p.rgb[i] != p.rgb[i + 2]) return false;
  return true;
}

}  // namespace

bool DecodeBmp(const ByteReader& read, uint64_t file_size, Picture* out, BmpError* err) {
  Layout l;
  if (!ReadLayout(read, file_size, &l, err)) return false;
  // The rows are read in pieces of a fixed size and converted as they come.
  std::vector<uint8_t> data(static_cast<size_t>(l.stride * l.height));
  for (size_t done = 0; done < data.size();) {
    size_t n = std::min(kBmpChunk, data.size() - done);
    if (!read(l.pixel_offset + done, data.data() + done, n)) return Fail(err, BmpError::kTruncated);
    done += n;
  }
  Picture p;
  p.width = l.width;
  p.height = l.height;
  p.rgb.resize(static_cast<size_t>(l.width) * l.height * 3);
  for (int y = 0; y < l.height; ++y) {
    int stored = l.top_down ? y : l.height - 1 - y;
    ConvertRow(l, data.data() + static_cast<size_t>(stored) * l.stride, &p.rgb[static_cast<size_t>(y) * l.width * 3]);
  }
  p.grey = l.bits == 8 && AllGrey(p);
  *out = std::move(p);
  if (err) *err = BmpError::kNone;
  return true;
}

bool DecodeBmpBytes(const std::string& bytes, Picture* out, BmpError* err) {
  ByteReader read = [&bytes](uint64_t offset, uint8_t* buf, size_t n) {
    if (offset > bytes.size() || n > bytes.size() - offset) return false;
    std::memcpy(buf, bytes.data() + offset, n);
    return true;
  };
  return DecodeBmp(read, bytes.size(), out, err);
}

std::string EncodeBmp(const Picture& picture) {
  int bits = picture.grey ? 8 : 24;
  uint32_t palette = picture.grey ? 256 * 4 : 0;
  uint32_t stride = (static_cast<uint32_t>(picture.width) * bits + 31) / 32 * 4;
  uint32_t image = stride * static_cast<uint32_t>(picture.height);
  uint32_t offset = kFileHeaderSize + kInfoHeaderSize + palette;
  std::string s;
  s.reserve(offset + image);
  s += "BM";
  Put32(&s, offset + image);
  Put32(&s, 0);
  Put32(&s, offset);
  Put32(&s, kInfoHeaderSize);
  Put32(&s, static_cast<uint32_t>(picture.width));
  Put32(&s, static_cast<uint32_t>(picture.height));
  Put16(&s, 1);
  Put16(&s, static_cast<uint32_t>(bits));
  Put32(&s, kRgbCompression);
  Put32(&s, image);
  Put32(&s, 2835);  // 72 dots per inch, as pixels per metre
  Put32(&s, 2835);
  Put32(&s, picture.grey ? 256 : 0);
  Put32(&s, 0);
  for (uint32_t i = 0; i < palette / 4; ++i) {
    for (int k = 0; k < 3; ++k) s.push_back(static_cast<char>(i));
    s.push_back(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    size_t start = s.size();
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = picture.Pixel(x, y);
      if (picture.grey) {
        s.push_back(static_cast<char>(p[0]));
      } else {
        s.push_back(static_cast<char>(p[2]));
        s.push_back(static_cast<char>(p[1]));
        s.push_back(static_cast<char>(p[0]));
      }
    }
    s.resize(start + stride, '\0');
  }
  return s;
}

}  // namespace kal
