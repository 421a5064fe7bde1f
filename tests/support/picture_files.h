// Picture files made by tests: JPEG bytes of a picture (through libjpeg's
// compressor, or the system's encoder on Windows), for the loaders and the
// window.
#pragma once

#include <string>

#include "0_base/picture.h"

namespace kal::test {

// A picture of one colour.
Picture SolidPicture(int w, int h, uint8_t r, uint8_t g, uint8_t b);

// The picture as a JPEG file (grey when picture.grey), at high quality.
std::string EncodeJpeg(const Picture& picture);

}  // namespace kal::test
