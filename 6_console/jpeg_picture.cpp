// JPEG decoding: through libjpeg in its module where the build has modules
// (Linux), else through the system's codecs (Windows).
#include "6_console/jpeg_picture.h"

#if KALDORIN_BACKEND_MODULES

#include "1_platform/backend_module.h"

namespace kal {

// Without the module or libjpeg no JPEG picture can be read: a false result,
// as for a file that is no JPEG.
bool DecodeJpeg(std::string_view bytes, Picture* out) {
  auto* decode = ModuleEntry(module_entry::kDecodeJpeg, nullptr);
  return decode && decode(bytes.data(), bytes.size(), out);
}

}  // namespace kal

#else  // the system's codecs decode JPEG

#include "0_base/jpeg_header.h"
#include "1_platform/system_jpeg.h"

namespace kal {

// The size is checked here, from the header, before the system's decoder
// sees the file: a decoder may allocate for the dimensions a file claims
// (and get the sum wrong) before it looks any further.
bool DecodeJpeg(std::string_view bytes, Picture* out) {
  int w = 0, h = 0;
  if (!JpegFrameSize(bytes, &w, &h) || !PictureSizeAllowed(w, h)) return false;
  return SystemDecodeJpeg(bytes, out);
}

}  // namespace kal

#endif
