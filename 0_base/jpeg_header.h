// The size of a JPEG picture read from its frame header alone, without
// decoding: a decoder can be told to leave a file alone whose dimensions
// are past what the program accepts before it allocates for them.
#pragma once

#include <string_view>

namespace kal {

// The width and height of the file's frame header (the first SOFn marker,
// after any APPn, DQT, DHT and other segments). False when the bytes do not
// begin as a JPEG, a segment runs past the end, the scan comes before a
// frame header, or the height is left to a later marker (0).
bool JpegFrameSize(std::string_view bytes, int* width, int* height);

}  // namespace kal
