// Wave headers for the Orvan engine's output.
#include "4_voices/orvan/wave_file.h"

#include <cstdio>

#include "1_platform/host_file.h"
#include "3_audio/wave_player.h"

namespace kal {

namespace {

constexpr long kHeaderBytes = 44;

void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

std::string WaveHeader(uint32_t data_bytes, int sample_rate) {
  std::string header = MakeWaveImage("", sample_rate, 1, 16);
  Put32(reinterpret_cast<unsigned char*>(header.data()) + 4, data_bytes + 36);
  Put32(reinterpret_cast<unsigned char*>(header.data()) + 40, data_bytes);
  return header;
}

bool PatchWaveFileSizes(const std::string& path) {
  std::FILE* f = OpenHostFile(path, "r+b");
  if (f == nullptr) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = size >= kHeaderBytes;
  unsigned char field[4];
  if (ok) {
    Put32(field, static_cast<uint32_t>(size - 8));
    ok = std::fseek(f, 4, SEEK_SET) == 0 && std::fwrite(field, 1, 4, f) == 4;
  }
  if (ok) {
    Put32(field, static_cast<uint32_t>(size - kHeaderBytes));
    ok = std::fseek(f, 40, SEEK_SET) == 0 && std::fwrite(field, 1, 4, f) == 4;
  }
  return std::fclose(f) == 0 && ok;
}

}  // namespace kal
