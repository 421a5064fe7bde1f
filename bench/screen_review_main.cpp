// bench_screen_review: feeds 10,000 keys to screen review over a filled
// screen and prints keys per second and the longest time one key took, from
// the key reaching the program to the review waiting for the next one.
// Target: under 1 ms for every key, so that review keeps up with a held
// arrow key.
//
// Speech is not heard: sounds go to a capture device and words to a
// stand-in voice on the fake clock, so the times are those of the review
// itself and of the speech layer's bookkeeping. Nothing is drawn either
// (the terminal's drawing is measured by bench_console_write). The keys
// mix moves that read rows, words and characters, field jumps, searches
// and moves against the edges (which beep and drop keys).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/console_frontend.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "3_audio/wave_player.h"
#include "4_voices/word_voice.h"
#include "6_console/console.h"
#include "6_console/screen_review.h"

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
    return static_cast<int>(key.size());
  }
  void WaitingForKey() override {
    if (typed_ > 0 && typed_ <= kKeys) {
      double ms = std::chrono::duration<double, std::milli>(Clock::now() - delivered_).count();
      longest_ms_ = std::max(longest_ms_, ms);
    }
    may_type_ = true;
  }
  double longest_ms() const { return longest_ms_; }

 private:
  bool may_type_ = true;
  int typed_ = 0;
  Clock::time_point delivered_;
  double longest_ms_ = 0;
};

// A screen of form-like rows: labels, coloured fields, runs of symbols.
void FillScreen() {
  using namespace kal;
  ClearScreen();
  for (int row = 1; row <= 24; ++row) {
    GotoXY(1, row);
    TextBackground(0);
    ConsoleWrite("Campo " + std::to_string(row) + ": ");
    TextBackground(1);
    ConsoleWrite("valor XYZ " + std::to_string(row * 37));
    TextBackground(0);
    ConsoleWrite(" | ----- casa fim das contas e mais texto ate o fim");
  }
  GotoXY(1, 1);
}

}  // namespace

int main() {
  using namespace kal;
  namespace fs = std::filesystem;
  // A private installation: the speech layer writes its defaults there.
  std::string home = (fs::temp_directory_path() / ("bench_review_" + std::to_string(Clock::now().time_since_epoch().count()))).string();
  fs::create_directories(home);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("TALVEN_DRIVES", (home + "/drives").c_str(), 1);

  SetLoop(MakeFakeEventLoop());
  ResetWavePlayer();
  InstallCaptureAudio();
  SetWordVoice(MakeLoggingWordVoice());
  CaptureSpeechLog(false);
  auto front = std::make_unique<TimingFrontEnd>();
  TimingFrontEnd* timing = front.get();
  SetConsoleFrontEnd(std::move(front));
  InitConsole();
  FillScreen();

  auto start = Clock::now();
  ScreenReview();
  double secs = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("screen review: %d keys in %.3f s: %.0f keys/s, longest key %.3f ms (target < 1 ms)\n", kKeys,
              secs, kKeys / secs, timing->longest_ms());
  fs::remove_all(home);
  return timing->longest_ms() < 1.0 ? 0 : 1;
}
