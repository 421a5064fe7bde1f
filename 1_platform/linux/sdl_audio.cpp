// The real audio device: SDL2's audio queue, with only the audio subsystem
// started. SDL copies what is queued and plays it from its own thread; we
// never block on it and never get called back, we only look at how much is
// still queued.
#include "1_platform/audio.h"

#if KALDORIN_HAVE_SDL2
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kal {

#if KALDORIN_HAVE_SDL2
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
    Close();
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
    Close();
    if (!Start(err)) return false;
    const char* name = nullptr;
    if (device >= 0) name = SDL_GetAudioDeviceName(device, 0);
    SDL_AudioSpec want{}, have{};
    want.freq = format.rate;
    want.format = format.bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
    want.channels = static_cast<Uint8>(format.channels);
    // A small device buffer keeps a stop quick at low rates (256 frames are
    // 23 ms at 11025 Hz).
    want.samples = format.rate <= 24000 ? 256 : 512;
    want.callback = nullptr;
    {
      QuietStderr quiet;
      dev_ = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    }
    if (dev_ == 0) {
      if (err) *err = SDL_GetError();
      return false;
    }
    buffer_ms_ = have.freq > 0 ? static_cast<int>(have.samples * 1000LL / have.freq) + 1 : 25;
    SDL_PauseAudioDevice(dev_, 0);
    return true;
  }

  void Close() override {
    if (dev_ != 0) SDL_CloseAudioDevice(dev_);
    dev_ = 0;
  }

  bool IsOpen() const override { return dev_ != 0; }

  int Queue(const uint8_t* data, size_t length) override {
    if (dev_ == 0) return kAudioInvalidHandle;
    if (SDL_GetAudioDeviceStatus(dev_) == SDL_AUDIO_STOPPED) return kAudioNoDriver;
    if (SDL_QueueAudio(dev_, data, static_cast<Uint32>(length)) != 0) {
      std::string why = SDL_GetError();
      return why.find("emory") != std::string::npos ? kAudioNoMemory : kAudioInvalidHandle;
    }
    return kAudioOk;
  }

  size_t QueuedBytes() override { return dev_ ? SDL_GetQueuedAudioSize(dev_) : 0; }

  int BufferMs() override { return buffer_ms_; }

  void Clear() override {
    if (dev_ != 0) SDL_ClearQueuedAudio(dev_);
  }

 private:
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
  int buffer_ms_ = 25;
  bool started_ = false;
  bool failed_ = false;
  std::string why_;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeSdlAudio() { return std::make_unique<SdlAudio>(); }

#else

namespace {
// Built without SDL2: there is no device, and opening says why.
class NoAudio : public AudioDevice {
 public:
  std::vector<std::string> ListDevices() override { return {}; }
  bool Open(int, const AudioFormat&, std::string* err) override {
    if (err) *err = "built without SDL2";
    return false;
  }
  void Close() override {}
  bool IsOpen() const override { return false; }
  int Queue(const uint8_t*, size_t) override { return kAudioInvalidHandle; }
  size_t QueuedBytes() override { return 0; }
  int BufferMs() override { return 0; }
  void Clear() override {}
};
}  // namespace

std::unique_ptr<AudioDevice> MakeSdlAudio() { return std::make_unique<NoAudio>(); }

#endif

std::unique_ptr<AudioDevice> MakeHostAudio() { return MakeSdlAudio(); }

}  // namespace kal
