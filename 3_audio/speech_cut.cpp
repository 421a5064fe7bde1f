#include "3_audio/speech_cut.h"

#include <cstdlib>

namespace kal {

namespace {

struct CutWindows {
  size_t start, gap, search;
};

// Typical pitch periods are found with windows sized for the sample rate:
// the 11025 Hz recordings, or anything else taken as 44100 Hz-like.
CutWindows WindowsFor(int rate) {
  if (rate == 11025) return {200, 80, 50};
  return {800, 320, 200};
}

// Index of the largest sample in [from, from + count), clamped to length.
size_t PeakIn(const uint8_t* d, size_t length, size_t from, size_t count) {
  size_t best = from < length ? from : length - 1;
  size_t end = from + count < length ? from + count : length;
  for (size_t i = from; i < end; ++i)
    if (d[i] > d[best]) best = i;
  return best;
}

}  // namespace

size_t ReduceTo8Bit(uint8_t* data, size_t length) {
  size_t n = length / 2;
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(data[2 * i + 1] + 128);
  return n;
}

size_t CutSpeechPiece(uint8_t* d, size_t length, int rate) {
  if (length < 1000) return length;
  CutWindows w = WindowsFor(rate);
  size_t span = w.gap + w.search;
  // Output continues at the first peak; what comes before it stays.
  size_t out = PeakIn(d, length, w.start, span + 1);
  size_t pos = out;
  while (pos + 2 * span < length) {
    size_t a = PeakIn(d, length, pos + w.gap, w.search);
    size_t b = PeakIn(d, length, a + w.gap, w.search);
    for (size_t i = a; i < b; ++i) d[out++] = d[i];
    pos = b;
  }
  // Carry on from the last peak until the signal comes near silence.
  while (pos < length && std::abs(static_cast<int>(d[pos]) - 128) > 20) d[out++] = d[pos++];
  return out;
}

}  // namespace kal
