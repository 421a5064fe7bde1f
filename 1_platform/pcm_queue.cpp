#include "1_platform/pcm_queue.h"

#include <algorithm>
#include <cstring>

namespace kal {

void AddMixSound(AudioMixSource& mix, int16_t* out, int frames, std::vector<float>& scratch) {
  scratch.assign(static_cast<size_t>(frames) * PcmQueue::kMixChannels, 0.0f);
  mix.Render(scratch.data(), frames);
  for (size_t i = 0; i < scratch.size(); ++i) {
    float v = static_cast<float>(out[i]) + scratch[i] * 32767.0f;
    out[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
  }
}

void PcmQueue::SetFormat(const AudioFormat& format, bool mixing) {
  format_ = format;
  mixing_ = mixing;
  Clear();
}

bool PcmQueue::Append(const uint8_t* data, size_t length) {
  if (QueuedBytes() + length > kLimit) return false;
  bytes_.insert(bytes_.end(), data, data + length);
  return true;
}

void PcmQueue::Clear() {
  bytes_.clear();
  read_ = 0;
  phase_ = 0;
}

std::vector<uint8_t> PcmQueue::TakeRest() {
  std::vector<uint8_t> rest(bytes_.begin() + static_cast<std::ptrdiff_t>(read_), bytes_.end());
  Clear();
  return rest;
}

void PcmQueue::Fill(uint8_t* out, size_t length) {
  if (!mixing_) {
    size_t n = std::min(length, QueuedBytes());
    if (n) std::memcpy(out, bytes_.data() + read_, n);
    read_ += n;
    std::memset(out + n, format_.bits == 16 ? 0 : 0x80, length - n);
  } else {
    int frames = static_cast<int>(length / (2 * kMixChannels));
    auto* samples = reinterpret_cast<int16_t*>(out);
    FillConverted(samples, frames);
    if (mix_) AddMixSound(*mix_, samples, frames, mix_buffer_);
  }
  Compact();
}

int PcmQueue::Sample(size_t frame, int channel) const {
  int ch = std::min(channel, format_.channels - 1);
  size_t at = read_ + frame * static_cast<size_t>(format_.BlockAlign()) + static_cast<size_t>(ch * format_.bits / 8);
  if (format_.bits == 16) return static_cast<int16_t>(bytes_[at] | (bytes_[at + 1] << 8));
  return (bytes_[at] - 128) * 256;
}

// Linear steps between the queue's frames at its rate; the last frame is
// held until the next one is queued or the queue ends.
void PcmQueue::FillConverted(int16_t* out, int frames) {
  const double step = static_cast<double>(format_.rate) / kMixRate;
  const size_t block = static_cast<size_t>(std::max(1, format_.BlockAlign()));
  int i = 0;
  for (; i < frames; ++i) {
    size_t have = QueuedBytes() / block;
    if (have == 0) break;
    for (int c = 0; c < kMixChannels; ++c) {
      int a = Sample(0, c);
      int b = have > 1 ? Sample(1, c) : a;
      out[i * kMixChannels + c] = static_cast<int16_t>(a + (b - a) * phase_);
    }
    phase_ += step;
    size_t whole = std::min(static_cast<size_t>(phase_), have);
    read_ += whole * block;
    phase_ -= static_cast<double>(whole);
    if (QueuedBytes() < block) read_ = bytes_.size(), phase_ = 0;  // a broken last frame
  }
  std::fill(out + i * kMixChannels, out + frames * kMixChannels, static_cast<int16_t>(0));
}

void PcmQueue::Compact() {
  if (read_ == bytes_.size()) {
    bytes_.clear();
    read_ = 0;
  } else if (read_ > (1u << 20)) {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(read_));
    read_ = 0;
  }
}

}  // namespace kal
