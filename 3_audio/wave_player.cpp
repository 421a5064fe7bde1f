// The wave player's operations, each on the player it is given.
#include "3_audio/wave_player.h"
#include "3_audio/wave_player_state.h"
#include "3_audio/audio_messages.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "0_base/keys.h"
#include "1_platform/host_file.h"
#include "1_platform/platform.h"
#include "1_platform/pump.h"
#include "0_base/latin1.h"
#include "2_config/sound_paths.h"
#include "2_config/config.h"
#include "3_audio/speech_cut.h"
#include "0_base/speech_log.h"
#include "1_platform/audio.h"
#include "1_platform/event_loop.h"
#include "1_platform/process.h"
#include "1_platform/stop_request.h"
#include "1_platform/user_notice.h"

namespace kal {

namespace {

constexpr size_t kPieceSize = 8192;
constexpr size_t kShortPiece = 7936;  // keeps the last piece of a file above 256 bytes
constexpr size_t kMinPiece = 256;
constexpr int kRingSize = 16;
constexpr int kFreeBufferChecks = 40;
constexpr int kFreeBufferStepMs = 50;
constexpr int kStallMs = 2000;

using Flight = WavePlayer::Flight;

// The device the player plays on.
AudioDevice& DeviceOf(WavePlayer& w) { return Audio(*w.platform); }

// The loop of the player's platform state: its clock times the pieces and
// its waits are the player's.
EventLoop& LoopOf(WavePlayer& w) { return w.platform->loop; }

// Closes the player's device: what it holds is dropped.
void CloseDeviceOf(WavePlayer& w) {
  if (w.open) DeviceOf(w).Close();
  w.open = false;
  w.flights.clear();
  w.queued_total = 0;
}

// Retires the pieces that have played: taken by the device, and its buffer
// has had time to play them out.
void Retire(WavePlayer& w) {
  if (w.flights.empty()) return;
  if (!DeviceOf(w).IsOpen()) {
    w.flights.clear();
    return;
  }
  uint64_t waiting = DeviceOf(w).QueuedBytes();
  uint64_t taken = w.queued_total > waiting ? w.queued_total - waiting : 0;
  int64_t now = LoopOf(w).NowMs();
  // A device that stops taking sound (unplugged, suspended) must not hold
  // every wait for the end of a sound forever: after two seconds without
  // progress what it holds is dropped.
  if (waiting == 0 || waiting != w.last_waiting) {
    w.last_waiting = waiting;
    w.last_progress = now;
  } else if (now - w.last_progress > kStallMs) {
    DeviceOf(w).Clear();
    w.flights.clear();
    w.queued_total = 0;
    return;
  }
  for (auto& f : w.flights) {
    if (f.taken_at >= 0) continue;
    if (f.end > taken) break;
    f.taken_at = now;
  }
  int buffer_ms = DeviceOf(w).BufferMs();
  while (!w.flights.empty() && w.flights.front().taken_at >= 0 && now - w.flights.front().taken_at >= buffer_ms)
    w.flights.pop_front();
}

int InFlight(WavePlayer& w) {
  Retire(w);
  return static_cast<int>(w.flights.size());
}

// How long until the next piece could retire; waits use it so that they
// neither spin nor oversleep.
int NextCheckMs(WavePlayer& w) {
  if (w.flights.empty()) return 1;
  int buffer_ms = DeviceOf(w).BufferMs();
  const Flight& f = w.flights.front();
  if (f.taken_at >= 0) {
    int64_t left = f.taken_at + buffer_ms - LoopOf(w).NowMs();
    return left < 1 ? 1 : (left > 10 ? 10 : static_cast<int>(left));
  }
  return 5;
}

void WaitForEnter(Platform& platform) {
  while (ReadKey(platform) != kKeyEnter && !StopRequested(platform)) {
  }
}

// A piece the device would not take: the device's complaint in its own
// words, then the user acknowledges with Enter. What was in flight on the
// failing device is dropped, so that one failure asks once.
void ReportDeviceError(WavePlayer& w, int code) {
  std::string_view msg;
  switch (code) {
    case kAudioInvalidHandle: msg = audio_msg::kInvalidHandle; break;
    case kAudioNoDriver: msg = audio_msg::kNoDriver; break;
    case kAudioNoMemory: msg = audio_msg::kNoMemory; break;
    case kAudioStillPlaying: msg = audio_msg::kStillPlaying; break;
    default: break;
  }
  if (!msg.empty()) WriteNoticeLine(*w.platform, msg);
  DeviceOf(w).Clear();
  w.flights.clear();
  w.queued_total = 0;
  WaitForEnter(*w.platform);
}

void ChooseDevice(WavePlayer& w) {
  if (w.device_chosen) return;
  w.device_chosen = true;
  std::string name = ReadConfigDirect(*w.config, cfg::kSaidaDeAudio);
  if (!name.empty()) w.device = FindWaveDevice(w, name);
}

void WaitUntilNothingInFlight(WavePlayer& w) {
  while (InFlight(w) > 0) {
    if (KeyPressed(*w.platform)) {
      WaveStop(w);
      break;
    }
    LoopOf(w).Wait(NextCheckMs(w));
  }
}

// No sound on this machine: said once, on a line of its own, written and
// spoken in the user's language; the program goes on silently. The audio
// library's reason is in English and means little to the user: it goes to
// standard error only when KALDORIN_AUDIO_DEBUG asks for it. The notice
// writer posts the speech to the pump, since this may run in the middle of
// speaking.
void SayNoSound(Platform& platform, const std::string& why) {
  AnnounceNotice(platform, L1(audio_msg::kNoSound));
  if (std::getenv("KALDORIN_AUDIO_DEBUG")) std::fprintf(stderr, "kaldorin: audio: %s\n", why.c_str());
}

// Opens the device for the format, reopening when the format changed.
// Returns 0, or an error code when there is no device to play on.
int EnsureOpen(WavePlayer& w, const AudioFormat& f) {
  if (w.unavailable) return kAudioNoDriver;
  if (w.open && DeviceOf(w).IsOpen() && w.format == f) return 0;
  if (w.open) {
    WaitUntilNothingInFlight(w);
    DeviceOf(w).Close();
    w.open = false;
  }
  ChooseDevice(w);
  if (!w.exit_hook) {
    // main runs the clean-ups while its player lives; a test's player on
    // the case's platform state goes before them unrun.
    w.exit_hook = true;
    AtProgramExit(*w.platform, [&w] { CloseDeviceOf(w); });
  }
  std::string err;
  if (!DeviceOf(w).Open(w.device, f, &err)) {
    w.unavailable = true;
    SayNoSound(*w.platform, err);
    return kAudioNoDriver;
  }
  w.open = true;
  w.format = f;
  w.flights.clear();
  w.queued_total = 0;
  return 0;
}

// Queues one piece, waiting up to two seconds for a free buffer; a piece
// that finds none is dropped.
void QueuePiece(WavePlayer& w, std::string piece, const AudioFormat& f) {
  for (int check = 0; InFlight(w) >= kRingSize; ++check) {
    if (check == kFreeBufferChecks) return;
    Delay(*w.platform, kFreeBufferStepMs);
  }
  w.ring_index = w.ring_index % kRingSize + 1;
  bool mono8 = f.bits == 8 && f.channels == 1;
  if (piece.size() < kMinPiece) piece.resize(kMinPiece, static_cast<char>(f.bits == 8 ? 128 : 0));
  // The last sample of a short 8-bit mono piece returns to the middle, so
  // that the sound does not end in a click.
  if (mono8 && piece.size() != kPieceSize) piece.back() = static_cast<char>(128);
  int code = DeviceOf(w).Queue(reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
  if (code != kAudioOk) {
    ReportDeviceError(w, code);
    return;
  }
  w.queued_total += piece.size();
  w.flights.push_back({w.queued_total, -1});
}

}  // namespace

int PlayPcm(WavePlayer& w, const uint8_t* data, size_t length, int rate, int channels, int bits) {
  AudioFormat f{rate, bits, channels};
  if (w.flags.fast) f.rate = static_cast<int>(std::lround(rate * 1.5));
  bool cut = w.flags.cut && channels == 1;
  if (cut && bits == 16) f.bits = 8;
  if (int e = EnsureOpen(w, f)) return e;
  size_t pos = 0;
  while (pos < length) {
    while (InFlight(w) >= kRingSize && !KeyPressed(*w.platform)) Delay(*w.platform, 10);
    if (KeyPressed(*w.platform)) {
      WaveStop(w);
      return 0;
    }
    size_t n = length - pos < kPieceSize ? length - pos : kPieceSize;
    std::string piece(reinterpret_cast<const char*>(data + pos), n);
    if (cut) {
      auto* p = reinterpret_cast<uint8_t*>(piece.data());
      size_t len = bits == 16 ? ReduceTo8Bit(p, n) : n;
      piece.resize(CutSpeechPiece(p, len, f.rate));
    }
    QueuePiece(w, std::move(piece), f);
    pos += n;
  }
  return 0;
}

bool WaveBusy(WavePlayer& w) {
  PumpMessages(*w.platform);
  if (KeyPressed(*w.platform) || InFlight(w) == 0) WaveStop(w);
  return InFlight(w) > 0;
}

void WaveStop(WavePlayer& w) {
  if (w.open && DeviceOf(w).IsOpen() && InFlight(w) > 0) {
    DeviceOf(w).Clear();
    w.flights.clear();
    w.queued_total = 0;
  }
  PumpMessages(*w.platform);
}

void WaitWave(WavePlayer& w) {
  while (WaveBusy(w)) LoopOf(w).Wait(NextCheckMs(w));
}

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads the header and the format chunk; the file is then at the first
// chunk after the format.
bool ReadWaveHead(std::FILE* f, WaveInfo* info) {
  char head[20];
  if (std::fread(head, 1, 20, f) != 20) return false;
  if (!SameLetters(std::string_view(head, 4), "RIFF") || std::memcmp(head + 12, "fmt ", 4) != 0) return false;
  uint32_t size = ReadLe32(head + 16);
  if (size < 16 || size > 4096) return false;
  std::string body(size + (size & 1), '\0');
  if (std::fread(body.data(), 1, body.size(), f) != body.size()) return false;
  return ParseFormatChunk(body, info) && PlayableFormat(*info);
}

// Skips chunks up to "data"; returns its declared size, or false at the end.
bool FindDataChunk(std::FILE* f, uint32_t* size) {
  char chunk[8];
  while (std::fread(chunk, 1, 8, f) == 8) {
    *size = ReadLe32(chunk + 4);
    if (std::memcmp(chunk, "data", 4) == 0) return true;
    if (std::fseek(f, static_cast<long>(*size) + (*size & 1), SEEK_CUR) != 0) return false;
  }
  return false;
}

// The piece size for what is left of the data: a remainder just above one
// piece is split so that the last piece is not tiny.
size_t NextPieceSize(uint64_t remaining) {
  if (remaining <= kPieceSize) return static_cast<size_t>(remaining);
  if (remaining <= kPieceSize + kMinPiece - 1) return kShortPiece;
  return kPieceSize;
}

int PlayFileData(WavePlayer& w, std::FILE* f, const WaveInfo& info, uint32_t size) {
  uint64_t remaining = size;
  std::string buf(kPieceSize, '\0');
  while (remaining > 0) {
    if (KeyPressed(*w.platform)) {
      WaveStop(w);
      break;
    }
    size_t got = std::fread(buf.data(), 1, NextPieceSize(remaining), f);
    if (got == 0) break;
    int r = PlayPcm(w, reinterpret_cast<const uint8_t*>(buf.data()), got, info.rate, info.channels, info.bits);
    if (r != 0) return r;
    remaining -= got;
  }
  return 0;
}

}  // namespace

int PlayWaveFile(WavePlayer& w, std::string_view path, bool no_wait) {
  SpeechLogScope log(*w.speech_log, "wave", path, true);
  if (KeyPressed(*w.platform)) {
    WaveStop(w);
    return 0;
  }
  if (w.flags.cut) {
    // A fast recording made for this sound is better than a cut one.
    std::string fast = SoundFolderOf(path) + "rapido\\" + std::string(path.substr(SoundFolderOf(path).size()));
    if (SoundFileExists(fast)) {
      w.flags.cut = false;
      int r = PlayWaveFile(w, fast, no_wait);
      w.flags.cut = true;
      return r;
    }
  }
  File f(OpenHostFile(SoundHostPath(path), "rb"));
  if (!f) return -1;
  WaveInfo info;
  uint32_t size = 0;
  if (!ReadWaveHead(f.get(), &info) || !FindDataChunk(f.get(), &size)) return -1;
  int r = PlayFileData(w, f.get(), info, size);
  f.reset();
  if (r != 0) return r;
  if (!no_wait && !w.flags.no_wait) WaitWave(w);
  return 0;
}

int PlayWaveMemory(WavePlayer& w, std::string_view image) {
  SpeechLogScope log(*w.speech_log, "wave", "memory " + std::to_string(image.size()), true);
  WaveInfo info;
  std::string_view data;
  if (!ParseWaveImage(image, &info, &data) || !PlayableFormat(info)) return -1;
  return PlayPcm(w, reinterpret_cast<const uint8_t*>(data.data()), data.size(), info.rate, info.channels, info.bits);
}

std::vector<std::string> ListWaveDevices(WavePlayer& w) {
  std::vector<std::string> names = DeviceOf(w).ListDevices();
  for (auto& n : names) {
    size_t a = n.find_first_not_of(" \t");
    size_t b = n.find_last_not_of(" \t");
    n = a == std::string::npos ? std::string() : n.substr(a, b - a + 1);
  }
  return names;
}

int FindWaveDevice(WavePlayer& w, std::string_view name) {
  std::vector<std::string> names = ListWaveDevices(w);
  for (size_t i = 0; i < names.size(); ++i)
    if (SameLetters(names[i], name)) return static_cast<int>(i);
  return -1;
}

int ChosenWaveDevice(WavePlayer& w) {
  ChooseDevice(w);
  return w.device;
}

void SetWaveDevice(WavePlayer& w, int device) {
  w.device = device;
  w.device_chosen = true;
}

WaveFlags GetWaveFlags(const WavePlayer& w) { return w.flags; }
void SetWaveFlags(WavePlayer& w, const WaveFlags& flags) { w.flags = flags; }
void SetWaveNoWait(WavePlayer& w, bool on) { w.flags.no_wait = on; }

int WaveInFlight(WavePlayer& w) { return InFlight(w); }

void CloseWaveDevice(WavePlayer& w) { CloseDeviceOf(w); }

WavePlayer::WavePlayer(Platform& p, ConfigState& c, SpeechLog& l) : platform(&p), config(&c), speech_log(&l) {}

WavePlayer::~WavePlayer() {
  midi.End();
  CloseDeviceOf(*this);
}

}  // namespace kal
