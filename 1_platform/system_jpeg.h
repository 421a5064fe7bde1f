// JPEG pictures decoded by the system's own image codecs, for a build that
// carries no JPEG decoder of its own (Windows: the Windows Imaging
// Component). Greyscale pictures stay grey, others become 24-bit RGB; a
// picture past the loaders' size limit is refused from its header, and a
// file that is damaged, cut short or no JPEG at all is a false result.
#pragma once

#include <string_view>

#include "0_base/picture.h"

namespace kal {

bool SystemDecodeJpeg(std::string_view bytes, Picture* out);

}  // namespace kal
