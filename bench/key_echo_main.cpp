// bench_key_echo: how quickly a typed key is heard, and how quickly speech
// is ready at start.
//
// 1. Key echo: from a key arriving in the console's key queue to the first
//    samples of its spoken name being handed to the audio device, as the
//    field editor echoes keys (read the key, stop what is playing, play the
//    character's recording without waiting for its end). Target: < 10 ms.
// 2. Start: from nothing to the speech layer started (configuration read,
//    word voice started) and the first sound handed to the device.
//    Target: < 200 ms.
//
// Runs on SDL's audio device (the dummy driver unless SDL_AUDIODRIVER is
// set). With BENCH_DRIVES naming an installed drives folder (set-up done,
// Talven.ini in its C:\windows), the installed recordings and the diphone
// word voice are used; otherwise letter recordings are written into a
// scratch drives folder and words are not synthesized.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "4_voices/voices.h"
#include "7_net/network.h"
#include "3_audio/wave_player_state.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "5_speech/speech.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"
#include "4_voices/word_voice.h"
#include "1_platform/audio.h"
#include "1_platform/event_loop.h"
#include "bench/scratch_letters.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

Clock::time_point g_first_queue;
bool g_armed = false;

// Passes everything to the real device and notes when the first piece
// after arming arrives.
class TimingAudio : public kal::AudioDevice {
 public:
  explicit TimingAudio(std::unique_ptr<kal::AudioDevice> real) : real_(std::move(real)) {}
  std::vector<std::string> ListDevices() override { return real_->ListDevices(); }
  bool Open(int d, const kal::AudioFormat& f, std::string* err) override { return real_->Open(d, f, err); }
  void Close() override { real_->Close(); }
  bool IsOpen() const override { return real_->IsOpen(); }
  int Queue(const uint8_t* data, size_t n) override {
    if (g_armed) {
      g_first_queue = Clock::now();
      g_armed = false;
    }
    return real_->Queue(data, n);
  }
  size_t QueuedBytes() override { return real_->QueuedBytes(); }
  int BufferMs() override { return real_->BufferMs(); }
  void Clear() override { real_->Clear(); }
  bool AttachMix(kal::AudioMixSource* s, int d, std::string* err) override { return real_->AttachMix(s, d, err); }
  void DetachMix() override { real_->DetachMix(); }

 private:
  std::unique_ptr<kal::AudioDevice> real_;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void PrintDistribution(const char* what, std::vector<double> v, double target) {
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))]; };
  std::printf("%s (n=%zu): min %.3f  median %.3f  p90 %.3f  p99 %.3f  max %.3f ms  (target < %.0f ms: %s)\n", what,
              v.size(), v.front(), at(0.5), at(0.9), at(0.99), v.back(), target, v.back() < target ? "met" : "MISSED");
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
  auto start = Clock::now();
  fs::path dir = fs::temp_directory_path() / "bench_key_echo";
  fs::remove_all(dir);
  const char* installed = getenv("BENCH_DRIVES");
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  if (!getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (installed) {
    setenv("TALVEN_DRIVES", installed, 1);
    std::printf("installed data in %s, diphone word voice\n", installed);
  } else {
    setenv("TALVEN_DRIVES", (dir / "drives").c_str(), 1);
    bench::WriteScratchLetters(dir / "drives/c/ferlan/som/letras");
    std::printf("scratch letter recordings, no word voice (set BENCH_DRIVES for the installed data)\n");
  }
  std::string console;
  kal::Network network(platform, config);
  auto prepared = Clock::now();

  // 2. Start: speech ready and the first sound on its way.
  kal::SetConsoleFrontEnd(the_console, kal::MakeMemoryFrontEnd("", &console));
  kal::SetAudio(platform, std::make_unique<TimingAudio>(kal::MakeSdlAudio()));
  if (!installed) kal::SetWordVoice(speech, kal::MakeLoggingWordVoice(speech_log));
  kal::InitSpeech(speech, 0, "");
  auto speech_ready = Clock::now();
  g_armed = true;
  kal::SpeakChar(speech, 'a');
  auto first_sound = Clock::now();
  std::printf("start: speech started %.2f ms, first sound handed to the device %.2f ms (target < 200 ms: %s)\n",
              Ms(speech_ready - prepared), Ms(g_first_queue - prepared),
              Ms(g_first_queue - prepared) < 200 ? "met" : "MISSED");
  (void)first_sound;
  if (!console.empty()) std::printf("console: %s", console.c_str());
  // A start whose configuration file already holds every key: nothing to
  // write back (the first start above wrote the defaults, with a flush to
  // the disk each).
  kal::DoneSpeech(speech);
  auto again = Clock::now();
  kal::InitSpeech(speech, 0, "");
  std::printf("start with the configuration written: speech started %.2f ms\n", Ms(Clock::now() - again));

  // 1. Key echo, as the field editor does it: no waiting for the echo's
  // end, the next key cuts it.
  kal::SetWaveFlags(player, {.no_wait = true});
  std::vector<double> echo;
  const char* keys = "the quick brown fox jumps over the lazy dog 0123456789";
  for (int round = 0; round < 8; ++round) {
    for (const char* k = keys; *k; ++k) {
      char key = *k;
      auto t0 = Clock::now();
      g_armed = true;
      kal::PushKeyBytes(the_console, std::string_view(&key, 1));
      kal::ReadKeySpoken(speech);
      if (g_armed) continue;  // nothing was played (should not happen)
      echo.push_back(Ms(g_first_queue - t0));
      kal::Delay(platform, 15);  // a fast typist's gap is longer; keeps the device busy
    }
  }
  PrintDistribution("key echo: key in the queue -> first samples at the device", echo, 10);
  kal::DoneSpeech(speech);
  kal::SetAudio(platform, nullptr);
  fs::remove_all(dir);
  std::printf("total run %.0f ms\n", Ms(Clock::now() - start));
  return 0;
}
