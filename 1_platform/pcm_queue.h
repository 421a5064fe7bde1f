// The play queue of a device that pulls its sound (a device thread asks for
// the next piece of its buffer): the bytes the player queued, played in the
// queue's own format, or, with a mix source, converted to 16-bit stereo at
// the mix rate with the source's sound added. The caller keeps the device
// thread and the program apart (one lock around every call).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "1_platform/audio.h"

namespace kal {

// Adds `frames` frames of the mix source's sound to interleaved 16-bit
// stereo, clipped; scratch is the caller's buffer for the source's floats.
void AddMixSound(AudioMixSource& mix, int16_t* out, int frames, std::vector<float>& scratch);

class PcmQueue {
 public:
  // The queue holds at most this much (the player keeps 16 x 8 KiB in
  // flight; the limit only guards against a runaway caller).
  static constexpr size_t kLimit = 64u << 20;
  static constexpr int kMixChannels = 2;

  // What the device plays when mixing: 16-bit stereo at kMixRate.
  static AudioFormat MixFormat() { return AudioFormat{kMixRate, 16, kMixChannels}; }

  // The queue's format, and whether the device plays the mixing format
  // (true) or the queue's own (false). Drops what was queued.
  void SetFormat(const AudioFormat& format, bool mixing);
  const AudioFormat& format() const { return format_; }
  bool mixing() const { return mixing_; }

  void SetMix(AudioMixSource* mix) { mix_ = mix; }
  AudioMixSource* mix() const { return mix_; }

  // False when the queue would grow past kLimit.
  bool Append(const uint8_t* data, size_t length);
  size_t QueuedBytes() const { return bytes_.size() - read_; }
  void Clear();
  // What was queued and not yet played, in the queue's format.
  std::vector<uint8_t> TakeRest();

  // Fills `length` bytes of the device's format: the queue's bytes, then
  // silence; when mixing, the queue converted and the mix added.
  void Fill(uint8_t* out, size_t length);

 private:
  void FillConverted(int16_t* out, int frames);
  // The queue's frame `i` from the read position, channel `c`, as 16 bits.
  int Sample(size_t frame, int channel) const;
  void Compact();

  AudioFormat format_;
  bool mixing_ = false;
  AudioMixSource* mix_ = nullptr;
  std::vector<uint8_t> bytes_;
  size_t read_ = 0;
  double phase_ = 0;  // between the frame at read_ and the next, when converting
  std::vector<float> mix_buffer_;
};

}  // namespace kal
