// The real audio device: SDL2 with only the audio subsystem started. What
// the player queues is kept here and handed to SDL's callback on SDL's own
// thread; the program never blocks on it, it only looks at how much is still
// queued. The callback touches nothing but the queue and the mix source,
// under SDL's device lock.
//
// Without a mix the device plays the queue's own format byte for byte. With
// one it plays 16-bit stereo at the mix rate, converting the queue on the
// way, and adds the source's sound.
#include "1_platform/audio.h"
#include "1_platform/module_entries.h"
#include "1_platform/pcm_queue.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace kal {
namespace {

// Audio libraries under SDL (ALSA in particular) print several lines to
// standard error when no device is there, which would land on the user's
// console; SDL's own error text says the same in one line. Standard error
// goes to the null device while SDL looks for a device.
class QuietStderr {
 public:
  QuietStderr() {
    saved_ = dup(STDERR_FILENO);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

class SdlAudio : public AudioDevice {
 public:
  ~SdlAudio() override {
    CloseDevice();
    if (stream_) SDL_FreeAudioStream(stream_);
    if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  std::vector<std::string> ListDevices() override {
    std::vector<std::string> names;
    if (!Start(nullptr)) return names;
    int n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n; ++i) {
      const char* name = SDL_GetAudioDeviceName(i, 0);
      names.push_back(name ? name : "");
    }
    return names;
  }

  bool Open(int device, const AudioFormat& format, std::string* err) override {
    // With a mix playing on the same device only the queue's conversion
    // changes, so the notes go on without a gap.
    if (mix_ && dev_ != 0 && device == device_) {
      Locked([&] {
        SetQueueFormat(format);
        queue_open_ = true;
      });
      return true;
    }
    Close();
    CloseDevice();
    format_ = format;
    device_ = device;
    if (!OpenDevice(err)) return false;
    queue_open_ = true;
    return true;
  }

  // Closes the queue side; a mix keeps the device playing.
  void Close() override {
    Locked([&] {
      queue_open_ = false;
      ClearQueue();
    });
    if (!mix_) CloseDevice();
  }

  bool IsOpen() const override { return queue_open_ && dev_ != 0; }

  int Queue(const uint8_t* data, size_t length) override {
    if (!IsOpen()) return kAudioInvalidHandle;
    if (SDL_GetAudioDeviceStatus(dev_) == SDL_AUDIO_STOPPED) return kAudioNoDriver;
    bool ok = true;
    Locked([&] {
      if (queue_.size() - read_ + length > kQueueLimit) {
        ok = false;
        return;
      }
      queue_.insert(queue_.end(), data, data + length);
    });
    return ok ? kAudioOk : kAudioNoMemory;
  }

  size_t QueuedBytes() override {
    if (dev_ == 0) return 0;
    size_t n = 0;
    Locked([&] {
      n = queue_.size() - read_;
      // What waits in the converter counts in the queue's own bytes.
      if (stream_) {
        int pending = SDL_AudioStreamAvailable(stream_);
        if (pending > 0)
          n += static_cast<size_t>(static_cast<int64_t>(pending) * format_.BytesPerSecond() / MixBytesPerSecond());
      }
    });
    return n;
  }

  int BufferMs() override { return buffer_ms_; }

  void Clear() override { Locked([&] { ClearQueue(); }); }

  bool AttachMix(AudioMixSource* source, int device, std::string* err) override {
    if (dev_ == 0) {
      device_ = device;
      mix_ = source;
      if (!OpenDevice(err)) {
        mix_ = nullptr;
        return false;
      }
      return true;
    }
    if (mixing_format_) {
      Locked([&] { mix_ = source; });
      return true;
    }
    // The device plays the queue's own format: it opens again for the mix,
    // and what the queue still holds plays on after the change.
    std::vector<uint8_t> rest;
    Locked([&] { rest.assign(queue_.begin() + static_cast<std::ptrdiff_t>(read_), queue_.end()); });
    CloseDevice();
    mix_ = source;
    if (!OpenDevice(err)) {
      mix_ = nullptr;
      queue_open_ = false;
      return false;
    }
    Locked([&] { queue_ = std::move(rest); });
    return true;
  }

  void DetachMix() override {
    Locked([&] { mix_ = nullptr; });
    if (!queue_open_) CloseDevice();
  }

 private:
  // The queue holds at most this much (the player keeps 16 x 8 KiB in
  // flight; the limit only guards against a runaway caller).
  static constexpr size_t kQueueLimit = 64u << 20;
  static constexpr int kMixChannels = 2;

  static int MixBytesPerSecond() { return kMixRate * kMixChannels * 2; }

  static void Callback(void* self, Uint8* out, int len) { static_cast<SdlAudio*>(self)->Fill(out, len); }

  // Runs fn with the device's callback kept out (it runs under the same lock).
  template <typename Fn>
  void Locked(Fn fn) {
    if (dev_ != 0) SDL_LockAudioDevice(dev_);
    fn();
    if (dev_ != 0) SDL_UnlockAudioDevice(dev_);
  }

  // Opens the SDL device: in the queue's format, or for mixing at the mix
  // rate in 16-bit stereo with the queue converted on its way.
  bool OpenDevice(std::string* err) {
    if (!Start(err)) return false;
    const char* name = nullptr;
    if (device_ >= 0) name = SDL_GetAudioDeviceName(device_, 0);
    mixing_format_ = mix_ != nullptr;
    SDL_AudioSpec want{}, have{};
    if (mixing_format_) {
      want.freq = kMixRate;
      want.format = AUDIO_S16SYS;
      want.channels = kMixChannels;
      want.samples = 256;  // 5.8 ms: a note is heard within two buffers
    } else {
      want.freq = format_.rate;
      want.format = format_.bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
      want.channels = static_cast<Uint8>(format_.channels);
      // A small device buffer keeps a stop quick at low rates (256 frames
      // are 23 ms at 11025 Hz).
      want.samples = format_.rate <= 24000 ? 256 : 512;
    }
    want.callback = &SdlAudio::Callback;
    want.userdata = this;
    {
      QuietStderr quiet;
      dev_ = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    }
    if (dev_ == 0) {
      if (err) *err = SDL_GetError();
      return false;
    }
    silence_ = have.silence;
    buffer_ms_ = have.freq > 0 ? static_cast<int>(have.samples * 1000LL / have.freq) + 1 : 25;
    if (mixing_format_) SetQueueFormat(format_);
    SDL_PauseAudioDevice(dev_, 0);
    return true;
  }

  void CloseDevice() {
    if (dev_ != 0) SDL_CloseAudioDevice(dev_);
    dev_ = 0;
    mixing_format_ = false;
    ClearQueue();
  }

  // In the mixing format the queue goes through a converter from its own
  // format (called with the callback kept out).
  void SetQueueFormat(const AudioFormat& format) {
    format_ = format;
    ClearQueue();
    if (stream_) SDL_FreeAudioStream(stream_);
    stream_ = SDL_NewAudioStream(format.bits == 16 ? AUDIO_S16LSB : AUDIO_U8, static_cast<Uint8>(format.channels),
                                 format.rate, AUDIO_S16SYS, kMixChannels, kMixRate);
  }

  void ClearQueue() {
    queue_.clear();
    read_ = 0;
    if (stream_) SDL_AudioStreamClear(stream_);
  }

  // The device's thread: the queue's bytes, then silence; in the mixing
  // format the mix source is added on top.
  void Fill(Uint8* out, int len) {
    size_t want = static_cast<size_t>(len);
    if (!mixing_format_) {
      size_t n = std::min(want, queue_.size() - read_);
      if (n) std::memcpy(out, queue_.data() + read_, n);
      read_ += n;
      std::memset(out + n, silence_, want - n);
    } else {
      FillConverted(out, len);
      if (mix_) AddMixSound(*mix_, reinterpret_cast<int16_t*>(out), len / (2 * kMixChannels), mix_buffer_);
    }
    if (read_ == queue_.size()) {
      queue_.clear();
      read_ = 0;
    } else if (read_ > (1u << 20)) {
      queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(read_));
      read_ = 0;
    }
  }

  void FillConverted(Uint8* out, int len) {
    int got = 0;
    if (stream_) {
      // Only about what this buffer needs is taken from the queue, so that
      // the queue tells truly how much is still to be heard.
      int block = std::max(1, format_.BlockAlign());
      while (SDL_AudioStreamAvailable(stream_) < len && read_ < queue_.size()) {
        int64_t missing = len - SDL_AudioStreamAvailable(stream_);
        int64_t in = missing * format_.BytesPerSecond() / MixBytesPerSecond() + block;
        in = std::max<int64_t>(64, (in + block - 1) / block * block);
        size_t n = std::min<size_t>(static_cast<size_t>(in), queue_.size() - read_);
        if (SDL_AudioStreamPut(stream_, queue_.data() + read_, static_cast<int>(n)) != 0) break;
        read_ += n;
      }
      // The converter keeps a few samples back for what follows; at the
      // end of the queue they are let out.
      if (read_ == queue_.size() && SDL_AudioStreamAvailable(stream_) < len) SDL_AudioStreamFlush(stream_);
      got = std::max(0, SDL_AudioStreamGet(stream_, out, len));
    }
    std::memset(out + got, 0, static_cast<size_t>(len - got));
  }

  // Starts the audio subsystem once; SDL must leave our signals alone.
  bool Start(std::string* err) {
    if (started_) return true;
    if (failed_) {
      if (err) *err = why_;
      return false;
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      failed_ = true;
      why_ = SDL_GetError();
      if (err) *err = why_;
      return false;
    }
    started_ = true;
    return true;
  }

  SDL_AudioDeviceID dev_ = 0;
  int device_ = -1;
  AudioFormat format_;
  bool queue_open_ = false;
  bool mixing_format_ = false;
  int buffer_ms_ = 25;
  Uint8 silence_ = 0;
  bool started_ = false;
  bool failed_ = false;
  std::string why_;
  // Shared with the device's thread, under the device lock.
  std::vector<uint8_t> queue_;
  size_t read_ = 0;
  SDL_AudioStream* stream_ = nullptr;
  AudioMixSource* mix_ = nullptr;
  std::vector<float> mix_buffer_;  // the device's thread only
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::AudioDevice* kaldorin_make_sdl_audio() { return new kal::SdlAudio(); }
