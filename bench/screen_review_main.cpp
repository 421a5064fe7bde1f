// bench_screen_review: feeds 10,000 keys to screen review over a filled
// screen and prints keys per second and the longest time one key took, from
// the key reaching the program to the review waiting for the next one.
// Target: under 1 ms for every key, so that review keeps up with a held
// arrow key. Times are processor time, so that other programs on a busy
// machine do not show up as lag; the longest clock time is printed too.
//
// Speech is not heard: sounds go to a capture device and words to a
// stand-in voice on the fake clock, so the times are those of the review
// itself and of the speech layer's bookkeeping. Speech is started as the
// program starts it, over a scratch installation with letter recordings,
// so that a character is found and played as for a user (without them,
// every letter would be searched for in the current folder). Nothing is drawn either
// (the terminal's drawing is measured by bench_console_write). The keys
// mix moves that read rows, words and characters, field jumps, searches
// and moves against the edges (which beep and drop keys).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "4_voices/voices.h"
#include "7_net/network.h"
#include "3_audio/wave_player_state.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "0_base/speech_log.h"
#include "1_platform/console_frontend.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "3_audio/wave_player.h"
#include "4_voices/word_voice.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "6_console/screen_review.h"
#include "5_speech/speech.h"
#include "bench/scratch_letters.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kKeys = 10000;

// Keys as a terminal sends them.
const std::vector<std::string> kPattern = {
    "\x1b[C", "\x1b[C", "\x1b[C", "\x1b[B", "\x1bOP", "\x1bOP", "\x1b[1;5C", "\x1b[1;5C", "\t",
    "\x1b[Z", "\x1b[D", "\x1b[A", "\x1b[F", "\x1b[H", "\x1b[1;5D", "\x0b", "\x1b[1;5P", "\x1b[6~",
    "\x1b[5~", "\x1b[15;5~", "\r", "\x1b[B", "\x1b[B",
};

// Types one key each time review waits, and times each key's handling.
class TimingFrontEnd : public kal::ConsoleFrontEnd {
 public:
  void OnWrite(std::string_view) override {}
  void Present(const kal::ConsoleGrid&) override {}
  void SetTitle(std::string_view) override {}
  int InputFd() override { return -1; }
  int ReadInput(char* buf, int cap) override {
    if (!may_type_) return 0;
    std::string key = typed_ < kKeys ? kPattern[typed_ % kPattern.size()] : std::string("\x1b");
    if (typed_ > kKeys || static_cast<int>(key.size()) > cap) return typed_ > kKeys ? -1 : 0;
    key.copy(buf, key.size());
    may_type_ = false;
    ++typed_;
    delivered_ = Clock::now();
    delivered_cpu_ = std::clock();
    return static_cast<int>(key.size());
  }
  void WaitingForKey() override {
    if (typed_ > 0 && typed_ <= kKeys) {
      double wall_ms = std::chrono::duration<double, std::milli>(Clock::now() - delivered_).count();
      longest_wall_ms_ = std::max(longest_wall_ms_, wall_ms);
      double ms = 1000.0 * static_cast<double>(std::clock() - delivered_cpu_) / CLOCKS_PER_SEC;
      if (ms > longest_ms_) longest_key_ = (typed_ - 1) % kPattern.size();
      longest_ms_ = std::max(longest_ms_, ms);
      if (times_.empty()) first_ms_ = ms;
      times_.push_back(ms);
      size_t kind = (typed_ - 1) % kPattern.size();
      if (kind_max_.size() < kPattern.size()) kind_max_.resize(kPattern.size());
      kind_max_[kind] = std::max(kind_max_[kind], ms);
    }
    may_type_ = true;
  }
  double first_ms() const { return first_ms_; }
  double longest_ms() const { return longest_ms_; }
  double longest_wall_ms() const { return longest_wall_ms_; }
  size_t longest_key() const { return longest_key_; }
  // The time that all but one key in a hundred stay under.
  double P99() {
    if (times_.empty()) return 0;
    std::sort(times_.begin(), times_.end());
    return times_[times_.size() * 99 / 100];
  }

 private:
  // A key is typed only when review waits for one, the first key too, as a
  // user's comes: given at once, the first key would be taken by whatever
  // looks at the input first (the speech layer's first use, the opening
  // beep), and its time would count their work and not the key's.
  bool may_type_ = false;
  int typed_ = 0;
  Clock::time_point delivered_;
  std::clock_t delivered_cpu_ = 0;
  double longest_wall_ms_ = 0;
  double longest_ms_ = 0;
  double first_ms_ = 0;
  size_t longest_key_ = 0;
  std::vector<double> times_;
 public:
  std::vector<double> kind_max_;
};

// A screen of form-like rows: labels, coloured fields, runs of symbols.
void FillScreen(kal::Console& the_console) {
  using namespace kal;
  ClearScreen(the_console);
  for (int row = 1; row <= 24; ++row) {
    GotoXY(the_console, 1, row);
    TextBackground(the_console, 0);
    ConsoleWrite(the_console, "Campo " + std::to_string(row) + ": ");
    TextBackground(the_console, 1);
    ConsoleWrite(the_console, "valor XYZ " + std::to_string(row * 37));
    TextBackground(the_console, 0);
    ConsoleWrite(the_console, " | ----- casa fim das contas e mais texto ate o fim");
  }
  GotoXY(the_console, 1, 1);
}

}  // namespace

int main() {
  std::unique_ptr<kal::EventLoop> loop = kal::MakeFakeEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the voices and the speech facade the console speaks with
  kal::SpeechState speech(voices, platform);
  kal::Console the_console(platform, speech);  // and the console's
  kal::ConsoleHookGuard hooking(the_console);
  using namespace kal;
  namespace fs = std::filesystem;
  // A private installation: the speech layer writes its defaults there.
  std::string home = (fs::temp_directory_path() / ("bench_review_" + std::to_string(Clock::now().time_since_epoch().count()))).string();
  fs::create_directories(home);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("TALVEN_DRIVES", (home + "/drives").c_str(), 1);
  bench::WriteScratchLetters(home + "/drives/c/ferlan/som/letras");

  Network network(platform, config);
  InstallCaptureAudio(platform);
  SetWordVoice(speech, MakeLoggingWordVoice(speech_log));
  auto front = std::make_unique<TimingFrontEnd>();
  TimingFrontEnd* timing = front.get();
  SetConsoleFrontEnd(the_console, std::move(front));
  InitConsole(the_console);
  FillScreen(the_console);

  InitSpeech(speech, 0, "");  // as the program does at its start: not a key's cost
  auto start = Clock::now();
  ScreenReview(the_console);
  double secs = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("screen review: %d keys in %.3f s: %.0f keys/s\n", kKeys, secs, kKeys / secs);
  std::printf("first key %.3f ms of processor time (target < 1 ms)\n", timing->first_ms());
  std::printf("longest key %.3f ms of processor time (key %zu of the pattern, %.3f ms on the clock);\n"
              "99%% of keys under %.3f ms (target: every key < 1 ms)\n",
              timing->longest_ms(), timing->longest_key(), timing->longest_wall_ms(), timing->P99());
  std::printf("longest key of each kind (processor time):\n");
  for (size_t i = 0; i < timing->kind_max_.size(); ++i) {
    std::string name;
    for (char c : kPattern[i]) name += c == 27 ? std::string("ESC") : c < 32 ? "^" + std::string(1, char(c + 64)) : std::string(1, c);
    std::printf("  %-10s %.3f ms\n", name.c_str(), timing->kind_max_[i]);
  }
  fs::remove_all(home);
  return 0;
}
