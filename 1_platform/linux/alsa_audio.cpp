// The audio device on ALSA: one library (the sound library of 1_platform/
// linux/sdl_audio.cpp maps about fifty), so the first sound of a run comes
// soon after its start. ALSA's "default" reaches a sound server where the
// system routes it there.
//
// A thread of the device's own writes the queue to ALSA a period at a time
// (waiting while ALSA's buffer is full); the program only appends
// to the queue and looks at how much is left, under one lock.
#include <alsa/asoundlib.h>

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "1_platform/audio.h"
#include "1_platform/module_entries.h"
#include "1_platform/pcm_queue.h"

namespace kal {
namespace {

// How much ALSA is asked to hold: short, so that a stop is quick, and long
// enough that a busy machine does not starve it.
constexpr unsigned kLatencyUs = 40000;
// The longest wait for room in ALSA's buffer before a close is looked for.
constexpr int kRoomWaitMs = 50;

// ALSA prints its reasons to standard error, where the user's console is;
// the device gives the reason of a failure itself.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

class AlsaAudio : public AudioDevice {
 public:
  AlsaAudio() { snd_lib_error_set_handler(&Quiet); }
  ~AlsaAudio() override { CloseDevice(); }

  std::vector<std::string> ListDevices() override {
    std::vector<std::string> shown;
    names_.clear();
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) != 0) return shown;
    for (void** h = hints; *h; ++h) {
      char* name = snd_device_name_get_hint(*h, "NAME");
      char* desc = snd_device_name_get_hint(*h, "DESC");
      char* io = snd_device_name_get_hint(*h, "IOID");
      bool output = !io || std::string(io) == "Output";
      if (name && output && std::string(name) != "null") {
        names_.push_back(name);
        std::string d = desc ? desc : name;
        shown.push_back(d.substr(0, d.find('\n')));
      }
      free(name), free(desc), free(io);
    }
    snd_device_name_free_hint(hints);
    return shown;
  }

  bool Open(int device, const AudioFormat& format, std::string* err) override {
    // With a mix playing on the same device only the queue's conversion
    // changes, so the notes go on without a gap.
    if (mix_ && pcm_ && device == device_) {
      std::lock_guard<std::mutex> lock(mu_);
      queue_.SetFormat(format, true);
      queue_open_ = true;
      return true;
    }
    Close();
    CloseDevice();
    device_ = device;
    {
      std::lock_guard<std::mutex> lock(mu_);
      queue_.SetFormat(format, mix_ != nullptr);
    }
    if (!OpenDevice(err)) return false;
    queue_open_ = true;
    return true;
  }

  // Closes the queue side; a mix keeps the device playing.
  void Close() override {
    Clear();
    queue_open_ = false;
    if (!mix_) CloseDevice();
  }

  bool IsOpen() const override { return queue_open_ && pcm_; }

  int Queue(const uint8_t* data, size_t length) override {
    if (!IsOpen()) return kAudioInvalidHandle;
    if (lost_) return kAudioNoDriver;
    std::lock_guard<std::mutex> lock(mu_);
    return queue_.Append(data, length) ? kAudioOk : kAudioNoMemory;
  }

  size_t QueuedBytes() override {
    if (!pcm_) return 0;
    std::lock_guard<std::mutex> lock(mu_);
    return queue_.QueuedBytes();
  }

  int BufferMs() override { return buffer_ms_; }

  // What ALSA already holds (its short buffer) plays out.
  void Clear() override {
    std::lock_guard<std::mutex> lock(mu_);
    queue_.Clear();
  }

  bool AttachMix(AudioMixSource* source, int device, std::string* err) override {
    if (!pcm_) {
      device_ = device;
      return OpenForMix(source, {}, err);
    }
    if (queue_.mixing()) {  // only this thread changes the format
      {
        std::lock_guard<std::mutex> lock(mu_);
        queue_.SetMix(source);
      }
      mix_ = source;
      return true;
    }
    // The device plays the queue's own format: it opens again for the mix,
    // and what the queue still holds plays on after the change.
    std::vector<uint8_t> rest;
    {
      std::lock_guard<std::mutex> lock(mu_);
      rest = queue_.TakeRest();
    }
    CloseDevice();
    if (OpenForMix(source, rest, err)) return true;
    queue_open_ = false;
    return false;
  }

  void DetachMix() override {
    {
      std::lock_guard<std::mutex> lock(mu_);
      queue_.SetMix(nullptr);
    }
    mix_ = nullptr;
    if (!queue_open_) CloseDevice();
  }

 private:
  bool OpenForMix(AudioMixSource* source, const std::vector<uint8_t>& rest, std::string* err) {
    {
      std::lock_guard<std::mutex> lock(mu_);
      queue_.SetFormat(queue_.format(), true);
      queue_.SetMix(source);
      queue_.Append(rest.data(), rest.size());
    }
    mix_ = source;
    if (OpenDevice(err)) return true;
    std::lock_guard<std::mutex> lock(mu_);
    queue_.SetMix(nullptr);
    mix_ = nullptr;
    return false;
  }

  // Opens ALSA in the format the queue plays and starts the thread.
  bool OpenDevice(std::string* err) {
    if (device_ >= 0 && names_.empty()) ListDevices();
    std::string name = device_ >= 0 && static_cast<size_t>(device_) < names_.size() ? names_[device_] : "default";
    AudioFormat f = queue_.mixing() ? PcmQueue::MixFormat() : queue_.format();
    // Writes do not wait inside ALSA: the thread waits for room itself, a
    // little at a time, so that closing never hangs on a stalled device.
    int rc = snd_pcm_open(&pcm_, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (rc == 0) {
      rc = snd_pcm_set_params(pcm_, f.bits == 16 ? SND_PCM_FORMAT_S16_LE : SND_PCM_FORMAT_U8,
                              SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(f.channels),
                              static_cast<unsigned>(f.rate), 1, kLatencyUs);
    }
    if (rc == 0) rc = StartAtOnePeriod();
    if (rc != 0) {
      if (err) *err = snd_strerror(rc);
      if (pcm_) snd_pcm_close(pcm_);
      pcm_ = nullptr;
      return false;
    }
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_get_params(pcm_, &buffer, &period_);
    // What ALSA holds, and the period being handed to it.
    buffer_ms_ = static_cast<int>((buffer + period_) * 1000 / static_cast<unsigned>(f.rate)) + 1;
    frame_bytes_ = static_cast<size_t>(f.BlockAlign());
    lost_ = false;
    // A thread the system refuses (a limit on processes) is a device that
    // cannot be opened, said as such, not a crash.
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& e) {
      if (err) *err = e.what();
      snd_pcm_close(pcm_);
      pcm_ = nullptr;
      return false;
    }
    return true;
  }

  // ALSA starts playing when its buffer is full unless told otherwise; a
  // short sound would wait for the next one.
  int StartAtOnePeriod() {
    snd_pcm_uframes_t buffer = 0, period = 0;
    int rc = snd_pcm_get_params(pcm_, &buffer, &period);
    snd_pcm_sw_params_t* sw = nullptr;
    if (rc == 0) rc = snd_pcm_sw_params_malloc(&sw);
    if (rc != 0) return rc;
    rc = snd_pcm_sw_params_current(pcm_, sw);
    if (rc == 0) rc = snd_pcm_sw_params_set_start_threshold(pcm_, sw, period);
    if (rc == 0) rc = snd_pcm_sw_params(pcm_, sw);
    snd_pcm_sw_params_free(sw);
    return rc;
  }

  void CloseDevice() {
    if (thread_.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mu_);
        quit_ = true;
      }
      thread_.join();
      quit_ = false;
    }
    if (pcm_) {
      snd_pcm_drop(pcm_);
      snd_pcm_close(pcm_);
      pcm_ = nullptr;
    }
  }

  // The device's thread: a period of the queue (and the mix) at a time,
  // silence when the queue is empty, for as long as the device is open.
  // ALSA never runs dry so: a sound server restarts a stream that ran dry
  // only after a pause of its own, which would cut gaps into speech.
  void Run() {
    std::vector<uint8_t> piece(period_ * frame_bytes_);
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mu_);
        if (quit_) return;
        queue_.Fill(piece.data(), piece.size());
      }
      if (!Write(piece.data(), piece.size())) {
        lost_ = true;
        return;
      }
    }
  }

  // Writes the bytes, waiting for room in steps, recovering from an
  // underrun or a suspend; false when the device is gone. A close asked
  // for meanwhile ends the wait.
  bool Write(const uint8_t* p, size_t length) {
    auto frames = static_cast<snd_pcm_sframes_t>(length / frame_bytes_);
    while (frames > 0) {
      snd_pcm_sframes_t n = snd_pcm_writei(pcm_, p, static_cast<snd_pcm_uframes_t>(frames));
      if (n == -EAGAIN) {
        if (quit_) return true;
        snd_pcm_wait(pcm_, kRoomWaitMs);
        continue;
      }
      if (n < 0) {
        if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) return false;
        continue;
      }
      p += static_cast<size_t>(n) * frame_bytes_;
      frames -= n;
    }
    return true;
  }

  // The program's side.
  snd_pcm_t* pcm_ = nullptr;
  std::thread thread_;
  int device_ = -1;
  std::vector<std::string> names_;  // ALSA's names of ListDevices' entries
  bool queue_open_ = false;
  AudioMixSource* mix_ = nullptr;
  int buffer_ms_ = 45;
  snd_pcm_uframes_t period_ = 256;
  size_t frame_bytes_ = 1;
  std::atomic<bool> lost_{false};

  // Shared with the device's thread.
  std::mutex mu_;
  PcmQueue queue_;
  std::atomic<bool> quit_{false};  // written under mu_; read without it while waiting for room
};

}  // namespace
}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::AudioDevice* kaldorin_make_alsa_audio() { return new kal::AlsaAudio(); }
