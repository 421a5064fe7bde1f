// Stand-in wave player until the audio back ends land: logs what would play.
#include "console/wave_player.h"

#include "console/speech_log.h"

namespace kal {

int PlayWaveFile(std::string_view path, bool) {
  LogSpeech("wave", path);
  return 0;
}
int PlayWaveMemory(std::string_view image) {
  LogSpeech("wave", "memory " + std::to_string(image.size()));
  return 0;
}
int PlayPcm(const uint8_t*, size_t length, int rate, int channels, int bits) { return 0; }
bool WaveBusy() { return false; }
void WaveStop() {}

std::string MakeWaveImage(std::string_view pcm, int rate, int channels, int bits) {
  auto put32 = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put16 = [](std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
  };
  std::string w = "RIFF";
  put32(w, 36 + pcm.size());
  w += "WAVEfmt ";
  put32(w, 16);
  put16(w, 1);
  put16(w, channels);
  put32(w, rate);
  put32(w, rate * channels * bits / 8);
  put16(w, channels * bits / 8);
  put16(w, bits);
  w += "data";
  put32(w, pcm.size());
  w.append(pcm);
  return w;
}

}  // namespace kal
