// JPEG pictures decoded with libjpeg (with the system's codecs where the build
// has no libjpeg: see 1_platform/system_jpeg.h): greyscale ones stay grey
// (8 bits a pixel when saved as a bitmap), colour ones become 24-bit RGB. Every
// failure of the library (not a JPEG, an unsupported colour space, damage it
// cannot read past) is a false result, never an exit of the program; a
// picture past the loaders' size limit, or a progressive file with an
// absurd number of scans, is refused before it costs memory or time. A file
// cut short is decoded as far as it goes, as the library does.
#pragma once

#include <string_view>

#include "0_base/picture.h"

namespace kal {

bool DecodeJpeg(std::string_view bytes, Picture* out);

}  // namespace kal
