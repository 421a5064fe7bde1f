#include "0_base/wave_format.h"

namespace kal {

uint32_t ReadLe32(const char* p) {
  auto b = reinterpret_cast<const uint8_t*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

uint16_t ReadLe16(const char* p) {
  auto b = reinterpret_cast<const uint8_t*>(p);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

bool PlayableFormat(const WaveInfo& info) {
  return (info.channels == 1 || info.channels == 2) && (info.bits == 8 || info.bits == 16) &&
         info.rate >= 1000 && info.rate <= 192000;
}

bool ParseFormatChunk(std::string_view body, WaveInfo* info) {
  if (body.size() < 16) return false;
  info->channels = ReadLe16(body.data() + 2);
  info->rate = static_cast<int>(ReadLe32(body.data() + 4));
  info->bits = ReadLe16(body.data() + 14);
  return true;
}

bool ParseWaveImage(std::string_view image, WaveInfo* info, std::string_view* data) {
  if (image.size() < 20 || image.substr(0, 4) != "RIFF" || image.substr(12, 4) != "fmt ") return false;
  uint64_t fmt_size = ReadLe32(image.data() + 16);
  if (20 + fmt_size > image.size() || !ParseFormatChunk(image.substr(20, fmt_size), info)) return false;
  uint64_t pos = 20 + fmt_size + (fmt_size & 1);
  while (pos + 8 <= image.size()) {
    std::string_view id = image.substr(pos, 4);
    uint64_t size = ReadLe32(image.data() + pos + 4);
    pos += 8;
    if (id == "data") {
      // A size running past the end (streamed files) means "to the end".
      *data = image.substr(pos, size < image.size() - pos ? size : image.size() - pos);
      return true;
    }
    pos += size + (size & 1);
  }
  return false;
}

std::string MakeWaveImage(std::string_view pcm, int rate, int channels, int bits) {
  auto put32 = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put16 = [](std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
  };
  std::string w = "RIFF";
  put32(w, static_cast<uint32_t>(36 + pcm.size()));
  w += "WAVEfmt ";
  put32(w, 16);
  put16(w, 1);
  put16(w, static_cast<uint16_t>(channels));
  put32(w, static_cast<uint32_t>(rate));
  put32(w, static_cast<uint32_t>(rate * channels * bits / 8));
  put16(w, static_cast<uint16_t>(channels * bits / 8));
  put16(w, static_cast<uint16_t>(bits));
  w += "data";
  put32(w, static_cast<uint32_t>(pcm.size()));
  w.append(pcm);
  return w;
}

}  // namespace kal
