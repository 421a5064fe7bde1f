#include "1_platform/fallback_audio.h"

#include <utility>

namespace kal {
namespace {

class FallbackAudio : public AudioDevice {
 public:
  FallbackAudio(std::unique_ptr<AudioDevice> first, AudioMaker second)
      : current_(std::move(first)), second_(std::move(second)) {}

  std::vector<std::string> ListDevices() override { return current_->ListDevices(); }

  bool Open(int device, const AudioFormat& format, std::string* err) override {
    if (current_->Open(device, format, err)) return true;
    return Switch() && current_->Open(device, format, err);
  }

  void Close() override { current_->Close(); }
  bool IsOpen() const override { return current_->IsOpen(); }
  int Queue(const uint8_t* data, size_t length) override { return current_->Queue(data, length); }
  size_t QueuedBytes() override { return current_->QueuedBytes(); }
  int BufferMs() override { return current_->BufferMs(); }
  void Clear() override { current_->Clear(); }

  bool AttachMix(AudioMixSource* source, int device, std::string* err) override {
    if (current_->AttachMix(source, device, err)) return true;
    return Switch() && current_->AttachMix(source, device, err);
  }

  void DetachMix() override { current_->DetachMix(); }

 private:
  // The second device, once: when it cannot open either, it stays.
  bool Switch() {
    if (!second_) return false;
    current_ = second_();
    second_ = nullptr;
    return true;
  }

  std::unique_ptr<AudioDevice> current_;
  AudioMaker second_;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeFallbackAudio(std::unique_ptr<AudioDevice> first, AudioMaker second) {
  return std::make_unique<FallbackAudio>(std::move(first), std::move(second));
}

}  // namespace kal
