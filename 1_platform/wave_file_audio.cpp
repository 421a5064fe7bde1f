#include "1_platform/wave_file_audio.h"

#include <cstdio>

#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"

namespace kal {
namespace {

void PutLe(std::FILE* f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}

class WaveFileAudio : public AudioDevice {
 public:
  WaveFileAudio(std::string path, EventLoop& loop) : path_(std::move(path)), loop_(loop) {}
  ~WaveFileAudio() override {
    Close();
    if (file_) std::fclose(file_);
  }

  std::vector<std::string> ListDevices() override { return {"wave file"}; }

  bool Open(int, const AudioFormat& format, std::string* err) override {
    Close();
    if (!file_) {
      file_ = OpenHostFile(path_, "wb");
      if (!file_) {
        if (err) *err = "cannot write " + path_;
        return false;
      }
      first_ = format;
      WriteHeader();
    }
    format_ = format;
    open_ = true;
    pending_ = 0;
    last_ms_ = loop_.NowMs();
    return true;
  }

  void Close() override {
    if (!open_) return;
    open_ = false;
    WriteHeader();
    std::fflush(file_);
  }

  bool IsOpen() const override { return open_; }

  int Queue(const uint8_t* data, size_t length) override {
    if (!open_) return kAudioInvalidHandle;
    Drain();
    if (std::fwrite(data, 1, length, file_) != length) return kAudioNoDriver;
    data_bytes_ += static_cast<uint32_t>(length);
    pending_ += static_cast<double>(length);
    WriteHeader();
    return kAudioOk;
  }

  size_t QueuedBytes() override {
    Drain();
    return static_cast<size_t>(pending_);
  }

  int BufferMs() override { return 20; }

  void Clear() override { pending_ = 0; }

  // The file keeps the player's pieces as they come; a synthesizer's sound
  // is not mixed into it, so MIDI says it has no device.
  bool AttachMix(AudioMixSource*, int, std::string* err) override {
    if (err) *err = "the wave file takes no mixed sound";
    return false;
  }
  void DetachMix() override {}

 private:
  // What has played since the last look leaves the queue.
  void Drain() {
    int64_t now = loop_.NowMs();
    pending_ -= static_cast<double>(now - last_ms_) * format_.BytesPerSecond() / 1000.0;
    if (pending_ < 0) pending_ = 0;
    last_ms_ = now;
  }

  // The RIFF header with the sizes so far; the write position stays at the end.
  void WriteHeader() {
    if (!file_) return;
    std::fseek(file_, 0, SEEK_SET);
    std::fputs("RIFF", file_);
    PutLe(file_, 36 + data_bytes_, 4);
    std::fputs("WAVEfmt ", file_);
    PutLe(file_, 16, 4);
    PutLe(file_, 1, 2);
    PutLe(file_, static_cast<uint32_t>(first_.channels), 2);
    PutLe(file_, static_cast<uint32_t>(first_.rate), 4);
    PutLe(file_, static_cast<uint32_t>(first_.BytesPerSecond()), 4);
    PutLe(file_, static_cast<uint32_t>(first_.BlockAlign()), 2);
    PutLe(file_, static_cast<uint32_t>(first_.bits), 2);
    std::fputs("data", file_);
    PutLe(file_, data_bytes_, 4);
    std::fseek(file_, 0, SEEK_END);
  }

  std::string path_;
  EventLoop& loop_;
  std::FILE* file_ = nullptr;
  AudioFormat first_, format_;
  bool open_ = false;
  uint32_t data_bytes_ = 0;
  double pending_ = 0;
  int64_t last_ms_ = 0;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeWaveFileAudio(const std::string& host_path, EventLoop& loop) {
  return std::make_unique<WaveFileAudio>(host_path, loop);
}

}  // namespace kal
