// The audio device seam: one PCM output stream that the wave player feeds.
//
// The device takes pieces of PCM in the format it was opened with, copies
// them and plays them in order without blocking the caller. It cannot say
// when a piece has been heard; it can say how many bytes it still holds in
// its queue (not yet taken by the hardware side) and how long its own buffer
// is, and the wave player works out from those when a piece has played.
//
// Beside the queue the device can play one mix source: sound that is made on
// the device's own thread as it is needed (the software MIDI synthesizer)
// and added to what the queue plays, so that notes and speech sound
// together and neither takes the device from the other.
//
// Back ends: ALSA (1_platform/linux/alsa_audio.cpp), SDL2
// (1_platform/linux/sdl_audio.cpp), waveOut
// (1_platform/win32/waveout_audio.cpp) and a capture device for tests that
// records every piece with its format and drains its queue in step with the
// event loop's clock (1_platform/fake/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kal {

struct AudioFormat {
  int rate = 11025;
  int bits = 8;
  int channels = 1;
  int BlockAlign() const { return channels * bits / 8; }
  int BytesPerSecond() const { return BlockAlign() * rate; }
  bool operator==(const AudioFormat&) const = default;
};

// Completion errors a device can report for a piece it was given. The
// numbers are those the wave player's messages are keyed by.
enum AudioError : int {
  kAudioOk = 0,
  kAudioInvalidHandle = 5,
  kAudioNoDriver = 6,
  kAudioNoMemory = 7,
  kAudioStillPlaying = 33,
};

// Mixed sound is made at this rate, in interleaved stereo.
constexpr int kMixRate = 44100;

// Sound made on demand. Render runs on the device's own thread (the audio
// callback), so it may touch nothing but the source's own thread-safe state;
// whatever the program must learn from it goes through the event loop.
class AudioMixSource {
 public:
  virtual ~AudioMixSource() = default;
  // Writes `frames` frames of interleaved stereo samples (-1 to 1) at
  // kMixRate into out (2 * frames floats).
  virtual void Render(float* out, int frames) = 0;
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Names of the output devices, in device-number order.
  virtual std::vector<std::string> ListDevices() = 0;

  // Opens the device (index into ListDevices, or -1 for the default) for
  // the format and starts it playing. False with *err filled when no device
  // can be opened. Opening again while open closes first.
  virtual bool Open(int device, const AudioFormat& format, std::string* err) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Appends bytes to the play queue. Returns kAudioOk, or an AudioError
  // when the device refused them (lost, out of memory).
  virtual int Queue(const uint8_t* data, size_t length) = 0;

  // Bytes queued and not yet taken by the device for playing.
  virtual size_t QueuedBytes() = 0;

  // How long the device's own buffer plays, in milliseconds: bytes it has
  // taken from the queue are heard at most this long afterwards.
  virtual int BufferMs() = 0;

  // Drops everything queued; playing stops at once.
  virtual void Clear() = 0;

  // Plays source mixed with the queue until DetachMix. When the device is
  // not open it opens (the device index as for Open) only for the mix; the
  // queue side stays closed (IsOpen false) until Open. Open and Close leave
  // the mix playing. False with *err filled when no device can be opened.
  // The source must outlive its attachment.
  virtual bool AttachMix(AudioMixSource* source, int device, std::string* err) = 0;
  // Stops calling the source; when it returns, Render is not running and
  // will not run again.
  virtual void DetachMix() = 0;
};

struct Platform;

// The run's device, kept in its platform state. Until one is installed, the
// first use makes the host's real one (MakeHostAudio), or the wave file that
// KALDORIN_AUDIO_FILE names (1_platform/wave_file_audio.h).
AudioDevice& Audio(Platform& platform);
void SetAudio(Platform& platform, std::unique_ptr<AudioDevice> device);

// The host's real device: ALSA, or SDL2 where ALSA cannot open, on Linux;
// waveOut on Windows.
std::unique_ptr<AudioDevice> MakeHostAudio();

// The Linux device on ALSA alone; without ALSA in the build it is a device
// that never opens and says so.
std::unique_ptr<AudioDevice> MakeAlsaAudio();

// The Linux device: SDL2 (audio subsystem only). Without SDL2 in the build it
// is a device that never opens and says so.
std::unique_ptr<AudioDevice> MakeSdlAudio();

}  // namespace kal
