#include "3_audio/wave_convert.h"

#include <cmath>
#include <vector>

#include "0_base/wave_format.h"

namespace kal {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Samples of an image as floats, channels averaged.
std::vector<float> MonoSamples(const WaveInfo& info, std::string_view data) {
  int bytes = info.bits / 8;
  size_t frames = data.size() / (bytes * info.channels);
  std::vector<float> out(frames);
  auto* d = reinterpret_cast<const uint8_t*>(data.data());
  for (size_t f = 0; f < frames; ++f) {
    float sum = 0;
    for (int c = 0; c < info.channels; ++c) {
      const uint8_t* p = d + (f * info.channels + c) * bytes;
      sum += bytes == 1 ? (p[0] - 128) / 128.0f : static_cast<int16_t>(p[0] | (p[1] << 8)) / 32768.0f;
    }
    out[f] = sum / info.channels;
  }
  return out;
}

// The stretch [first, last) holding sound above the threshold, widened by
// a margin so that soft beginnings and endings stay.
void SoundBounds(const std::vector<float>& s, int rate, size_t* first, size_t* last) {
  const float threshold = 0.02f;
  size_t a = 0, b = s.size();
  while (a < b && std::fabs(s[a]) < threshold) ++a;
  while (b > a && std::fabs(s[b - 1]) < threshold) --b;
  size_t margin = static_cast<size_t>(rate / 100);  // 10 ms
  *first = a > margin ? a - margin : 0;
  *last = b + margin < s.size() ? b + margin : s.size();
}

uint8_t To8Bit(double v) {
  long q = std::lround(v * 127.0) + 128;
  return static_cast<uint8_t>(q < 0 ? 0 : (q > 255 ? 255 : q));
}

}  // namespace

std::string ResampleTo8Bit(const float* s, size_t count, int from_rate, int to_rate) {
  double ratio = static_cast<double>(from_rate) / to_rate;
  size_t out_count = static_cast<size_t>(count / ratio);
  // Windowed-sinc low-pass at 90% of the lower Nyquist frequency.
  double cutoff = 0.9 * 0.5 * std::min(from_rate, to_rate) / from_rate;
  const int half = 16 * static_cast<int>(std::ceil(ratio > 1 ? ratio : 1));
  std::string out(out_count, '\0');
  for (size_t i = 0; i < out_count; ++i) {
    double center = i * ratio;
    long c = static_cast<long>(center);
    double acc = 0, norm = 0;
    for (long k = c - half + 1; k <= c + half; ++k) {
      if (k < 0 || k >= static_cast<long>(count)) continue;
      double x = k - center;
      double sinc = x == 0 ? 2 * cutoff : std::sin(2 * kPi * cutoff * x) / (kPi * x);
      double window = 0.5 + 0.5 * std::cos(kPi * x / half);
      double w = sinc * window;
      acc += w * s[k];
      norm += w;
    }
    out[i] = static_cast<char>(To8Bit(norm != 0 ? acc / norm : 0));
  }
  return out;
}

bool ConvertToRecording(std::string_view image, std::string* recording, std::string* err) {
  WaveInfo info;
  std::string_view data;
  if (!ParseWaveImage(image, &info, &data) || !PlayableFormat(info)) {
    if (err) *err = "not a PCM wave";
    return false;
  }
  std::vector<float> s = MonoSamples(info, data);
  size_t first = 0, last = 0;
  SoundBounds(s, info.rate, &first, &last);
  std::string pcm = ResampleTo8Bit(s.data() + first, last - first, info.rate, kRecordingRate);
  if (pcm.empty()) pcm.assign(1, static_cast<char>(128));
  *recording = MakeWaveImage(pcm, kRecordingRate, 1, 8);
  return true;
}

std::string MakeDtmfRecording(char key, int ms) {
  static const char kKeys[] = "123A456B789C*0#D";
  static const int kRows[] = {697, 770, 852, 941};
  static const int kCols[] = {1209, 1336, 1477, 1633};
  int index = -1;
  for (int i = 0; i < 16; ++i)
    if (kKeys[i] == key) index = i;
  if (index < 0) return {};
  double low = kRows[index / 4], high = kCols[index % 4];
  size_t n = static_cast<size_t>(kRecordingRate) * ms / 1000;
  size_t fade = kRecordingRate / 200;  // 5 ms
  std::string pcm(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / kRecordingRate;
    double v = 0.45 * std::sin(2 * kPi * low * t) + 0.45 * std::sin(2 * kPi * high * t);
    double env = 1.0;
    if (i < fade) env = static_cast<double>(i) / fade;
    if (n - i <= fade) env = static_cast<double>(n - i - 1) / fade;
    pcm[i] = static_cast<char>(To8Bit(v * env));
  }
  return MakeWaveImage(pcm, kRecordingRate, 1, 8);
}

}  // namespace kal
