// The synthesizer's sound buffer: 64000 bytes, the first 44 kept for the
// wave header. When the next addition would reach the end, the buffer is
// played (through the sink, by default the player the speech facade
// installed) and refilled.
#include <algorithm>
#include <cstring>

#include "4_voices/diphone/diphone_state.h"

namespace kal::diphone {
namespace {

constexpr size_t kSilenceBlock = 100;
constexpr size_t kNoiseBytes = 300;

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

// RIFF/WAVE header for 8-bit mono 11025 Hz and the filled size.
void WriteHeader(uint8_t* h, size_t data_bytes) {
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, static_cast<uint32_t>(data_bytes + 36));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);  // PCM
  Put16(h + 22, 1);  // mono
  Put32(h + 24, kSampleRate);
  Put32(h + 28, kSampleRate);  // bytes per second
  Put16(h + 32, 1);            // block align
  Put16(h + 34, 8);            // bits
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, static_cast<uint32_t>(data_bytes));
}

}  // namespace

void FlushBuffer(SynthState& s) {
  if (s.buffer.size() < kBufferSize || s.fill <= kHeaderSize) return;
  WriteHeader(s.buffer.data(), s.fill - kHeaderSize);
  std::string_view image(reinterpret_cast<const char*>(s.buffer.data()), s.fill);
  s.fill = kHeaderSize;  // before the sink runs, so a re-entrant stop finds it empty
  if (s.sink) {
    s.sink(image);
  } else if (s.player) {
    s.player(image);
  }
}

void AddSound(SynthState& s, const uint8_t* data, size_t n) {
  if (s.buffer.size() < kBufferSize) return;  // not started
  while (n > 0) {
    if (s.fill + n >= kBufferSize && s.fill > kHeaderSize) FlushBuffer(s);
    size_t take = std::min(n, kBufferSize - s.fill);
    std::memcpy(s.buffer.data() + s.fill, data, take);
    s.fill += take;
    data += take;
    n -= take;
  }
}

void AddSilence(SynthState& s, size_t n) {
  static const std::vector<uint8_t> kSilence(kSilenceBlock, 128);
  for (size_t i = 0; i < n / kSilenceBlock; ++i) AddSound(s, kSilence.data(), kSilence.size());
}

// 300 bytes from 88 to 167: a short hiss where a tiny piece is missing.
void AddNoise(SynthState& s) {
  uint8_t noise[kNoiseBytes];
  for (uint8_t& b : noise) {
    s.noise_seed = s.noise_seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(88 + (s.noise_seed >> 16) % 80);
  }
  AddSound(s, noise, kNoiseBytes);
}

}  // namespace kal::diphone
