// fuzz_picture: feeds arbitrary bytes to the picture loaders. The first byte
// picks the loader: even the bitmap reader (through its offset reader, as a
// file on disk is read), odd the JPEG decoder; a picture that loads is
// written back as a bitmap and read again, which must give the same pixels.
// Both loaders refuse dimensions past the picture limit before allocating,
// so each input costs bounded memory.
//
// Build and run with the fuzzer (other builds only replay files: fuzz/replay.cpp):
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKALDORIN_FUZZ=ON -DKALDORIN_TESTS=OFF -DKALDORIN_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_picture
//   build-fuzz/fuzz_picture CORPUS_DIR -max_len=200000 -rss_limit_mb=1024 -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "1_platform/platform.h"
#include "1_platform/event_loop.h"
#include "2_config/config_state.h"
#include "0_base/bmp_image.h"
#include "6_console/jpeg_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  if (size < 1) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  kal::Picture picture;
  bool loaded = data[0] % 2 == 0 ? kal::DecodeBmpBytes(bytes, &picture) : kal::DecodeJpeg(bytes, &picture);
  if (!loaded) return 0;
  if (picture.rgb.size() != static_cast<size_t>(picture.width) * picture.height * 3) std::abort();
  kal::Picture again;
  if (!kal::DecodeBmpBytes(kal::EncodeBmp(picture), &again) || again.rgb != picture.rgb) std::abort();
  return 0;
}
