// The real audio device on Windows: waveOut. Each queued piece is copied
// into a buffer of its own and written to the device; the device plays them
// in order from its own thread. Nothing calls back: buffers the device has
// finished with are released on later calls, and the bytes still to be
// heard are the bytes written less the device's play position.
#include "1_platform/audio.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <deque>
#include <memory>

#include "1_platform/win32/wide.h"

namespace kal {
namespace {

struct Piece {
  WAVEHDR header{};
  std::unique_ptr<char[]> data;
};

std::string WaveOutErrorText(MMRESULT r) {
  wchar_t text[MAXERRORLENGTH] = {0};
  if (waveOutGetErrorTextW(r, text, MAXERRORLENGTH) == MMSYSERR_NOERROR) return Narrow(text);
  return "waveOut error " + std::to_string(r);
}

class WaveOutAudio : public AudioDevice {
 public:
  ~WaveOutAudio() override { Close(); }

  std::vector<std::string> ListDevices() override {
    std::vector<std::string> names;
    UINT n = waveOutGetNumDevs();
    for (UINT i = 0; i < n; ++i) {
      WAVEOUTCAPSW caps{};
      names.push_back(waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR ? Narrow(caps.szPname) : "");
    }
    return names;
  }

  bool Open(int device, const AudioFormat& format, std::string* err) override {
    Close();
    WAVEFORMATEX wf{};
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = static_cast<WORD>(format.channels);
    wf.nSamplesPerSec = static_cast<DWORD>(format.rate);
    wf.wBitsPerSample = static_cast<WORD>(format.bits);
    wf.nBlockAlign = static_cast<WORD>(format.BlockAlign());
    wf.nAvgBytesPerSec = static_cast<DWORD>(format.BytesPerSecond());
    UINT id = device < 0 ? WAVE_MAPPER : static_cast<UINT>(device);
    MMRESULT r = waveOutOpen(&wave_, id, &wf, 0, 0, CALLBACK_NULL);
    if (r != MMSYSERR_NOERROR) {
      wave_ = nullptr;
      if (err) *err = WaveOutErrorText(r);
      return false;
    }
    written_ = 0;
    return true;
  }

  void Close() override {
    if (!wave_) return;
    Clear();
    waveOutClose(wave_);
    wave_ = nullptr;
  }

  bool IsOpen() const override { return wave_ != nullptr; }

  int Queue(const uint8_t* data, size_t length) override {
    if (!wave_) return kAudioInvalidHandle;
    Release(false);
    if (length == 0) return kAudioOk;
    auto piece = std::make_unique<Piece>();
    piece->data.reset(new (std::nothrow) char[length]);
    if (!piece->data) return kAudioNoMemory;
    std::memcpy(piece->data.get(), data, length);
    piece->header.lpData = piece->data.get();
    piece->header.dwBufferLength = static_cast<DWORD>(length);
    if (waveOutPrepareHeader(wave_, &piece->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
      return kAudioNoMemory;
    MMRESULT r = waveOutWrite(wave_, &piece->header, sizeof(WAVEHDR));
    if (r != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(wave_, &piece->header, sizeof(WAVEHDR));
      return r == MMSYSERR_NOMEM ? kAudioNoMemory : kAudioNoDriver;
    }
    written_ += length;
    pieces_.push_back(std::move(piece));
    return kAudioOk;
  }

  size_t QueuedBytes() override {
    if (!wave_) return 0;
    Release(false);
    if (pieces_.empty()) return 0;
    MMTIME t{};
    t.wType = TIME_BYTES;
    if (waveOutGetPosition(wave_, &t, sizeof t) != MMSYSERR_NOERROR || t.wType != TIME_BYTES) {
      size_t left = 0;
      for (auto& p : pieces_) left += p->header.dwBufferLength;
      return left;
    }
    return written_ > t.u.cb ? written_ - t.u.cb : 0;
  }

  // The position counts what the device has played, so nothing is hidden in
  // a buffer of its own beyond a few milliseconds of mixing.
  int BufferMs() override { return 20; }

  void Clear() override {
    if (!wave_) return;
    waveOutReset(wave_);  // every buffer comes back marked done
    Release(true);
    written_ = 0;
  }

  // The synthesizer in the program is not part of this build: MIDI goes to
  // the system's own MIDI output instead, so nothing is mixed here.
  bool AttachMix(AudioMixSource*, int, std::string* err) override {
    if (err) *err = "no mixing on this build";
    return false;
  }
  void DetachMix() override {}

 private:
  // Frees the buffers the device has finished (all of them after a reset).
  void Release(bool all) {
    while (!pieces_.empty() && (all || (pieces_.front()->header.dwFlags & WHDR_DONE))) {
      waveOutUnprepareHeader(wave_, &pieces_.front()->header, sizeof(WAVEHDR));
      pieces_.pop_front();
    }
    if (pieces_.empty() && !all && written_ > 0) {
      // Played out: the position starts again from the next piece.
      waveOutReset(wave_);
      written_ = 0;
    }
  }

  HWAVEOUT wave_ = nullptr;
  std::deque<std::unique_ptr<Piece>> pieces_;
  size_t written_ = 0;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeHostAudio() { return std::make_unique<WaveOutAudio>(); }

}  // namespace kal
