// Capture audio device: records pieces and drains its queue at the format's
// byte rate measured on the event loop's clock.
#include "1_platform/fake/capture_audio.h"

#include <algorithm>

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"

namespace kal {

bool CaptureAudio::Open(int device, const AudioFormat& format, std::string* err) {
  if (!open_error_.empty()) {
    if (err) *err = open_error_;
    return false;
  }
  open_ = true;
  device_ = device;
  format_ = format;
  queued_ = 0;
  last_ms_ = loop_.NowMs();
  ++opens_;
  return true;
}

void CaptureAudio::Close() {
  open_ = false;
  queued_ = 0;
}

int CaptureAudio::Queue(const uint8_t* data, size_t length) {
  if (on_queue_) on_queue_(pieces_.size());
  if (queue_error_ != kAudioOk) {
    int e = queue_error_;
    queue_error_ = kAudioOk;
    return e;
  }
  if (!open_) return kAudioInvalidHandle;
  Drain();
  pieces_.push_back({format_, std::string(reinterpret_cast<const char*>(data), length), loop_.NowMs()});
  queued_ += static_cast<double>(length);
  return kAudioOk;
}

void CaptureAudio::Drain() {
  int64_t now = loop_.NowMs();
  double taken = static_cast<double>(now - last_ms_) * format_.BytesPerSecond() / 1000.0;
  last_ms_ = now;
  if (!stalled_) queued_ = std::max(0.0, queued_ - taken);
}

size_t CaptureAudio::QueuedBytes() {
  if (!open_) return 0;
  Drain();
  return static_cast<size_t>(queued_ + 0.999);
}

void CaptureAudio::Clear() {
  queued_ = 0;
  ++clears_;
}

std::string CaptureAudio::AllData() const {
  std::string all;
  for (auto& p : pieces_) all += p.data;
  return all;
}

bool CaptureAudio::AttachMix(AudioMixSource* source, int device, std::string* err) {
  if (!open_error_.empty()) {
    if (err) *err = open_error_;
    return false;
  }
  mix_ = source;
  mix_device_ = device;
  mix_since_ms_ = loop_.NowMs();
  mix_frames_ = 0;
  return true;
}

void CaptureAudio::DetachMix() { mix_ = nullptr; }

std::vector<float> CaptureAudio::TakeMix() {
  std::vector<float> out;
  if (!mix_) return out;
  int64_t due = (loop_.NowMs() - mix_since_ms_) * kMixRate / 1000;
  if (due <= mix_frames_) return out;
  int frames = static_cast<int>(due - mix_frames_);
  out.assign(static_cast<size_t>(frames) * 2, 0.0f);
  mix_->Render(out.data(), frames);
  mix_frames_ = due;
  return out;
}

CaptureAudio* InstallCaptureAudio(Platform& platform) {
  auto dev = std::make_unique<CaptureAudio>(platform.loop);
  CaptureAudio* raw = dev.get();
  SetAudio(platform, std::move(dev));
  return raw;
}

}  // namespace kal
