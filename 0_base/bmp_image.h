// Bitmap files (.bmp) read into a Picture and written from one.
//
// The reader takes the file through a function that reads bytes at an
// offset, so that it can be fed a file on disk (read in chunks) or bytes in
// memory (tests, the fuzz target), and it trusts nothing the file says: the
// information header must be the 40-byte one, the bit count one of 1, 4, 8,
// 16, 24 or 32, the palette and every row must lie inside the file, and the
// dimensions within the loaders' limit. Rows are stored bottom-up (a negative
// height means top-down). Uncompressed files are read, and 16- and 32-bit
// files with colour masks; a pixel whose palette index is past the palette
// is black. A file that fails any check gives false and no picture.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "0_base/picture.h"

namespace kal {

// Reads n bytes at offset into buf; false when they are not all there.
using ByteReader = std::function<bool(uint64_t offset, uint8_t* buf, size_t n)>;

enum class BmpError {
  kNone,
  kNotBitmap,    // too short, or no "BM" signature
  kHeader,       // the information header is not the 40-byte one
  kUnsupported,  // bit count, plane count or compression not handled
  kTooLarge,     // dimensions past the limit (or zero)
  kTruncated,    // palette or pixels reach past the end of the file
};

// Pixel data is read in pieces of this size.
inline constexpr size_t kBmpChunk = 16384;

bool DecodeBmp(const ByteReader& read, uint64_t file_size, Picture* out, BmpError* err = nullptr);

// Bytes in memory as a reader (for tests and fuzzing).
bool DecodeBmpBytes(const std::string& bytes, Picture* out, BmpError* err = nullptr);

// A bitmap file of the picture: 8 bits per pixel with a grey palette when the
// picture is grey, else 24 bits; rows bottom-up, each padded to 4 bytes.
std::string EncodeBmp(const Picture& picture);

}  // namespace kal
