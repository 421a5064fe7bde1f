// The capture audio device for tests: records every piece queued with its
// format and the virtual time it arrived, and plays in step with the event
// loop's clock, so that waits for the end of a sound behave as with a real
// device but take no time under the fake clock. A mix source is rendered
// when the test asks for its sound, on the test's own thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "1_platform/audio.h"

namespace kal {

class EventLoop;

struct CapturedPiece {
  AudioFormat format;
  std::string data;
  int64_t at_ms = 0;
};

class CaptureAudio : public AudioDevice {
 public:
  // The queue drains on this loop's clock.
  explicit CaptureAudio(EventLoop& loop) : loop_(loop) {}
  std::vector<std::string> ListDevices() override { return devices_; }
  bool Open(int device, const AudioFormat& format, std::string* err) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  int Queue(const uint8_t* data, size_t length) override;
  size_t QueuedBytes() override;
  int BufferMs() override { return buffer_ms_; }
  void Clear() override;
  bool AttachMix(AudioMixSource* source, int device, std::string* err) override;
  void DetachMix() override;

  // What was recorded.
  const std::vector<CapturedPiece>& pieces() const { return pieces_; }
  int opens() const { return opens_; }
  int clears() const { return clears_; }
  int device() const { return device_; }
  AudioFormat format() const { return format_; }
  // Every captured byte of every piece, joined.
  std::string AllData() const;
  // The mix source's sound from where the last call stopped up to the
  // loop's clock: interleaved stereo at kMixRate. Nothing is rendered until
  // asked for, so a test steps the clock and takes what played meanwhile.
  std::vector<float> TakeMix();
  bool mixing() const { return mix_ != nullptr; }
  int mix_device() const { return mix_device_; }

  // Test controls.
  void set_devices(std::vector<std::string> names) { devices_ = std::move(names); }
  void set_buffer_ms(int ms) { buffer_ms_ = ms; }
  void FailOpens(std::string why) { open_error_ = std::move(why); }
  void FailNextQueue(int code) { queue_error_ = code; }
  // A device that stops taking sound (paused by the system, unplugged).
  void Stall(bool on) { stalled_ = on; }
  // Called at the start of every Queue with the number of pieces recorded
  // so far (a test can type a key in the middle of a sound).
  void OnQueue(std::function<void(size_t)> hook) { on_queue_ = std::move(hook); }

 private:
  void Drain();

  EventLoop& loop_;
  std::vector<std::string> devices_;
  std::vector<CapturedPiece> pieces_;
  AudioFormat format_;
  bool open_ = false;
  int device_ = -1;
  int opens_ = 0;
  int clears_ = 0;
  int buffer_ms_ = 20;
  std::string open_error_;
  int queue_error_ = kAudioOk;
  bool stalled_ = false;
  std::function<void(size_t)> on_queue_;
  AudioMixSource* mix_ = nullptr;
  int mix_device_ = -1;
  int64_t mix_since_ms_ = 0;  // when the mix was attached
  int64_t mix_frames_ = 0;    // frames rendered since then
  double queued_ = 0;      // bytes not yet taken by the "device"
  int64_t last_ms_ = 0;
};

// Installs a fresh capture device as the run's audio device and returns it
// (owned by the platform state; valid until the next SetAudio).
CaptureAudio* InstallCaptureAudio(Platform& platform);

}  // namespace kal
