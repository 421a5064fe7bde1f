// The growing wave file: a 44-byte RIFF header for 16-bit mono PCM, then the
// samples in little-endian order.
#include "4_voices/engines/wave_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "1_platform/host_file.h"

namespace kal {

namespace {

// The largest data size a RIFF header can state.
constexpr uint64_t kMaxData = 0xFFFFFFFFull - 36;

void Put32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(char* p, uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}

void MakeHeader(char* h, int rate, uint32_t data) {
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, 36 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);  // PCM
  Put16(h + 22, 1);  // mono
  Put32(h + 24, static_cast<uint32_t>(rate));
  Put32(h + 28, static_cast<uint32_t>(rate) * 2);
  Put16(h + 32, 2);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, data);
}

}  // namespace

bool WaveWriter::Open(const std::string& host_path, int rate, std::string* err) {
  Close();
  file_ = OpenHostFile(host_path, "wb+");
  if (!file_) {
    if (err) *err = host_path + ": " + std::strerror(errno);
    return false;
  }
  rate_ = rate;
  data_bytes_ = 0;
  return Flush();
}

bool WaveWriter::Append(const int16_t* samples, size_t count) {
  if (!file_) return false;
  if (data_bytes_ + count * 2 > kMaxData) return false;
  char buf[4096];
  size_t done = 0;
  while (done < count) {
    size_t n = std::min(count - done, sizeof buf / 2);
    for (size_t i = 0; i < n; ++i) Put16(buf + 2 * i, static_cast<uint16_t>(samples[done + i]));
    if (std::fwrite(buf, 2, n, file_) != n) return false;
    done += n;
  }
  data_bytes_ += count * 2;
  return true;
}

bool WaveWriter::Flush() {
  if (!file_) return false;
  char h[44];
  MakeHeader(h, rate_, static_cast<uint32_t>(data_bytes_));
  bool ok = std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h, 1, 44, file_) == 44;
  ok = std::fseek(file_, 0, SEEK_END) == 0 && ok;
  return std::fflush(file_) == 0 && ok;
}

void WaveWriter::Close() {
  if (!file_) return;
  Flush();
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace kal
