// bench_midi_latency: how quickly a MIDI note is heard from the synthesizer
// in the program, and how long MIDI INICIA takes.
//
// The synthesizer plays into SDL's audio device (the dummy driver unless
// SDL_AUDIODRIVER is set), which asks for each buffer in real time on its own
// thread. A wrapper around the synthesizer's mix source notes when the first
// buffer holding the note is made; for each note the note-on is sent as MIDI
// NL sends it and the time to that buffer is measured. The device starts
// playing a buffer at most one buffer's length after making it, so that is
// added for the time until the note is heard (before any latency of the
// system's sound server). Target: < 20 ms.
//
// Needs the General MIDI sound font (set-up installs it).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "7_net/network.h"
#include "3_audio/midi.h"
#include "3_audio/wave_player_state.h"
#include "5_speech/speech.h"
#include "4_voices/voices.h"
#include "5_speech/speech_state.h"
#include "3_audio/midi_message.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "1_platform/audio.h"
#include "1_platform/event_loop.h"
#include "1_platform/pump.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kNotes = 20;
constexpr float kLoud = 200.0f / 32768.0f;  // a sample above this is the note

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The synthesizer as the device's thread sees it, noting when a buffer
// first carries sound after it was armed.
class TimedSource : public kal::AudioMixSource {
 public:
  explicit TimedSource(kal::AudioMixSource* inner) : inner_(inner) {}
  void Render(float* out, int frames) override {
    inner_->Render(out, frames);
    if (!armed_.load()) return;
    for (int i = 0; i < 2 * frames; ++i)
      if (std::fabs(out[i]) > kLoud) {
        sounded_.store(Clock::now().time_since_epoch().count());
        armed_.store(false);
        return;
      }
  }
  void Arm() {
    sounded_.store(0);
    armed_.store(true);
  }
  // When the sound came, or nullopt-like zero while it has not.
  Clock::rep sounded() const { return sounded_.load(); }

 private:
  kal::AudioMixSource* inner_;
  std::atomic<bool> armed_{false};
  std::atomic<Clock::rep> sounded_{0};
};

TimedSource* g_timed = nullptr;

// The real device, with the mix source it is given wrapped.
class TimingAudio : public kal::AudioDevice {
 public:
  explicit TimingAudio(std::unique_ptr<kal::AudioDevice> real) : real_(std::move(real)) {}
  ~TimingAudio() override { real_.reset(); }
  std::vector<std::string> ListDevices() override { return real_->ListDevices(); }
  bool Open(int d, const kal::AudioFormat& f, std::string* err) override { return real_->Open(d, f, err); }
  void Close() override { real_->Close(); }
  bool IsOpen() const override { return real_->IsOpen(); }
  int Queue(const uint8_t* data, size_t n) override { return real_->Queue(data, n); }
  size_t QueuedBytes() override { return real_->QueuedBytes(); }
  int BufferMs() override { return real_->BufferMs(); }
  void Clear() override { real_->Clear(); }
  bool AttachMix(kal::AudioMixSource* s, int d, std::string* err) override {
    timed_ = std::make_unique<TimedSource>(s);
    g_timed = timed_.get();
    return real_->AttachMix(timed_.get(), d, err);
  }
  void DetachMix() override { real_->DetachMix(); }

 private:
  std::unique_ptr<TimedSource> timed_;
  std::unique_ptr<kal::AudioDevice> real_;
};

void PrintDistribution(const char* what, std::vector<double> v, double target) {
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))]; };
  std::printf("%s (n=%zu): min %.2f  median %.2f  p90 %.2f  max %.2f ms  (target < %.0f ms: %s)\n", what, v.size(),
              v.front(), at(0.5), at(0.9), v.back(), target, v.back() < target ? "met" : "MISSED");
}

}  // namespace

int main() {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the voices and the speech facade the console speaks with
  kal::SpeechState speech(voices, platform);
  kal::Console the_console(platform, speech);  // and the console's
  kal::ConsoleHookGuard hooking(the_console);
  fs::path dir = fs::temp_directory_path() / "bench_midi_latency";
  fs::remove_all(dir);
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("TALVEN_DRIVES", (dir / "drives").c_str(), 1);
  if (!getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::string console;
  kal::Network network(platform, config);
  kal::SetConsoleFrontEnd(the_console, kal::MakeMemoryFrontEnd("", &console));
  kal::SetAudio(platform, std::make_unique<TimingAudio>(kal::MakeSdlAudio()));

  auto t0 = Clock::now();
  kal::MidiStartError e = kal::StartMidi(player);
  if (e != kal::MidiStartError::kNone || !g_timed) {
    std::printf("MIDI cannot start: %s\n", std::string(kal::MidiStartMessage(e)).c_str());
    return 1;
  }
  kal::SendMidi(player, kal::BuildShortMessage(0xFF));
  std::printf("MIDI INICIA (synthesizer, sound font, device): %.1f ms\n", Ms(Clock::now() - t0));
  int buffer_ms = kal::Audio(platform).BufferMs();
  kal::Delay(platform, 300);

  std::vector<double> made, heard;
  for (int i = 0; i < kNotes; ++i) {
    uint8_t note = static_cast<uint8_t>(48 + (i * 5) % 24);
    g_timed->Arm();
    auto on = Clock::now();
    kal::SendMidi(player, kal::BuildShortMessage(0x90, note, 100));
    while (g_timed->sounded() == 0 && Ms(Clock::now() - on) < 500)
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    double ms = g_timed->sounded() ? Ms(Clock::duration(g_timed->sounded()) - on.time_since_epoch()) : 500;
    made.push_back(ms);
    heard.push_back(ms + buffer_ms);
    kal::Delay(platform, 150);
    kal::SendMidi(player, kal::BuildShortMessage(0x90, note, 0));
    kal::Delay(platform, 600);  // the note and its reverberation die away
  }
  kal::StopMidi(player);
  kal::SetAudio(platform, nullptr);
  std::printf("device buffer: %d ms\n", buffer_ms);
  PrintDistribution("note-on to the first buffer holding the note", made, 20);
  PrintDistribution("note-on to that buffer playing (+ one buffer)", heard, 20);
  if (!console.empty()) std::printf("console: %s", console.c_str());
  fs::remove_all(dir);
  return 0;
}
