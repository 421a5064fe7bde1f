// JPEG files for the tests through libjpeg's compressor.
#include "tests/support/picture_files.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace kal::test {

std::string EncodeJpeg(const Picture& picture) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = static_cast<JDIMENSION>(picture.width);
  c.image_height = static_cast<JDIMENSION>(picture.height);
  c.input_components = picture.grey ? 1 : 3;
  c.in_color_space = picture.grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::string row;
  while (c.next_scanline < c.image_height) {
    row.clear();
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = picture.Pixel(x, static_cast<int>(c.next_scanline));
      if (picture.grey) {
        row.push_back(static_cast<char>(p[0]));
      } else {
        row.append(reinterpret_cast<const char*>(p), 3);
      }
    }
    JSAMPROW r = reinterpret_cast<JSAMPROW>(row.data());
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::string out(reinterpret_cast<char*>(mem), size);
  jpeg_destroy_compress(&c);
  std::free(mem);
  return out;
}

}  // namespace kal::test
