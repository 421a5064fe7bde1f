// JPEG decoding through libjpeg's memory source: the module that the core's
// DecodeJpeg opens on first use (6_console/jpeg_picture.h says what it
// gives).
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared
#include <cstring>

#include <jpeglib.h>

#include "0_base/picture.h"
#include "1_platform/module_entries.h"

namespace kal {
namespace {

// More scans than any real progressive file has: a file made to spend
// minutes on scans is refused.
constexpr int kMaxScans = 256;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnError(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorManager*>(c->err)->jump, 1); }
void OnMessage(j_common_ptr, int) {}  // warnings are not shown anywhere

void OnProgress(j_common_ptr c) {
  auto* d = reinterpret_cast<j_decompress_ptr>(c);
  if (d->input_scan_number > kMaxScans) OnError(c);
}

// Only plain data lives in this frame across setjmp: the picture's buffer
// belongs to the caller.
bool Decode(const unsigned char* data, unsigned long size, Picture* p) {
  jpeg_decompress_struct d;
  ErrorManager err;
  jpeg_progress_mgr progress;
  std::memset(&d, 0, sizeof d);
  d.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&d);
    return false;
  }
  jpeg_create_decompress(&d);
  progress.progress_monitor = OnProgress;
  d.progress = &progress;
  jpeg_mem_src(&d, data, size);
  jpeg_read_header(&d, TRUE);
  if (!PictureSizeAllowed(d.image_width, d.image_height)) {
    jpeg_destroy_decompress(&d);
    return false;
  }
  bool grey = d.num_components == 1;
  d.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&d);
  p->width = static_cast<int>(d.output_width);
  p->height = static_cast<int>(d.output_height);
  p->grey = grey;
  p->rgb.assign(static_cast<size_t>(p->width) * p->height * 3, 0);
  unsigned char line[kMaxPictureSide * 3];
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = line;
    size_t y = d.output_scanline;
    if (jpeg_read_scanlines(&d, &row, 1) != 1) break;
    unsigned char* out = &p->rgb[y * p->width * 3];
    if (grey) {
      for (int x = 0; x < p->width; ++x) out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = line[x];
    } else {
      std::memcpy(out, line, static_cast<size_t>(p->width) * 3);
    }
  }
  // The rest of the file (up to its end marker) is of no use: destroying
  // the decompressor ends the reading.
  jpeg_destroy_decompress(&d);
  return true;
}

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" bool kaldorin_decode_jpeg(const char* data, size_t size, kal::Picture* out) {
  if (size == 0) return false;
  kal::Picture p;
  if (!kal::Decode(reinterpret_cast<const unsigned char*>(data), static_cast<unsigned long>(size), &p)) return false;
  *out = std::move(p);
  return true;
}
