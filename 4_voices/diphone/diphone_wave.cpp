// Reading the letter recordings: the "data" chunk of a PCM wave file, turned
// into the synthesizer's 8-bit unsigned mono 11025 Hz samples whatever the
// file's own rate, width and channel count.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "1_platform/host_file.h"
#include "4_voices/diphone/diphone_state.h"

namespace kal::diphone {
namespace {

struct Format {
  int channels = 0;
  int rate = 0;
  int bits = 0;
};

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// Finds the format and the data chunk; false for anything but PCM wave.
bool ParseWave(const std::string& b, Format* f, size_t* data_at, size_t* data_len) {
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return false;
  bool have_fmt = false;
  size_t p = 12;
  while (p + 8 <= b.size()) {
    const std::string id = b.substr(p, 4);
    const size_t len = Le(b, p + 4, 4);
    const size_t body = p + 8;
    const size_t avail = b.size() - body;
    if (id == "fmt " && len >= 16 && avail >= 16) {
      if (Le(b, body, 2) != 1) return false;  // not PCM
      f->channels = static_cast<int>(Le(b, body + 2, 2));
      f->rate = static_cast<int>(Le(b, body + 4, 4));
      f->bits = static_cast<int>(Le(b, body + 14, 2));
      have_fmt = true;
    } else if (id == "data") {
      *data_at = body;
      *data_len = std::min(len, avail);  // a truncated file gives what it has
      return have_fmt && f->channels > 0 && f->rate > 0 && (f->bits == 8 || f->bits == 16);
    }
    if (len > avail) return false;
    p = body + len + (len & 1);
  }
  return false;
}

// One frame mixed to mono, as a signed value in the 16-bit range.
int FrameValue(const std::string& b, size_t at, const Format& f) {
  long sum = 0;
  for (int c = 0; c < f.channels; ++c) {
    if (f.bits == 8) {
      sum += (static_cast<unsigned char>(b[at + c]) - 128) * 256;
    } else {
      sum += static_cast<int16_t>(Le(b, at + 2 * c, 2));
    }
  }
  return static_cast<int>(sum / f.channels);
}

}  // namespace

bool ReadWaveSamples(const std::string& path, std::vector<uint8_t>* out) {
  std::ifstream in(HostFsPath(path), std::ios::binary);
  if (!in) return false;
  std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Format f;
  size_t at = 0, len = 0;
  if (!ParseWave(b, &f, &at, &len)) return false;
  const size_t frame = static_cast<size_t>(f.channels) * (f.bits / 8);
  const size_t frames = len / frame;
  out->clear();
  if (f.bits == 8 && f.channels == 1 && f.rate == kSampleRate) {
    out->assign(b.begin() + at, b.begin() + at + frames);
    return true;
  }
  const size_t count = static_cast<size_t>(static_cast<double>(frames) * kSampleRate / f.rate);
  out->reserve(count);
  for (size_t i = 0; i < count; ++i) {
    size_t src = static_cast<size_t>(static_cast<double>(i) * f.rate / kSampleRate);
    if (src >= frames) break;
    int v = FrameValue(b, at + src * frame, f);
    out->push_back(static_cast<uint8_t>(128 + (v >> 8)));
  }
  return true;
}

}  // namespace kal::diphone
