// bench_typing: the time DIGITA spends outside its pauses.
//
// DIGITA paces its characters 100 ms apart on purpose; what must stay small
// is the work around the pauses: finding each character's key, sending the
// events, running the pump. The pauses are taken on the virtual clock of
// the fake event loop, so they cost nothing here and the wall time measured
// is exactly that work. Target: under 1 ms per character.
//
// By default the keys go to the recording desktop (the interpreter's own
// cost). With BENCH_X11=1 and a DISPLAY they go through XTest to the real
// display, keyboard mapping of accented letters included: run it on a
// private Xvfb, since the keys reach whatever window has the focus.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "0_base/latin1.h"
#include "1_platform/automation.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/recording_desktop.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/state.h"
#include "6_console/console_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "5_speech/speech_state.h"
#include "7_net/network.h"

using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// One DIGITA of the text (Latin-1, no quote marks inside) without Enter;
// returns the wall milliseconds and the virtual ones.
void TypeOnce(kal::RunContext& context, const std::string& text, double* wall, double* paced) {
  std::string line = "\"" + text + "\" &";
  int64_t v0 = context.loop.NowMs();
  auto t0 = Clock::now();
  kal::InterpreterState in;
  in.context = &context;
  if (!kal::CmdDigita(in, line)) std::fprintf(stderr, "DIGITA failed\n");
  *wall = Ms(Clock::now() - t0);
  *paced = static_cast<double>(context.loop.NowMs() - v0);
}

void Report(kal::RunContext& context, const char* what, const std::string& text, int rounds) {
  std::vector<double> per_char;
  double paced = 0;
  for (int i = 0; i < rounds; ++i) {
    double wall = 0;
    TypeOnce(context, text, &wall, &paced);
    per_char.push_back(wall / static_cast<double>(text.size()));
  }
  std::sort(per_char.begin(), per_char.end());
  std::printf("%-34s %zu chars x %d: outside the pauses median %.4f ms/char, max %.4f ms/char "
              "(target < 1 ms: %s); paced time %.0f ms (%.0f ms/char)\n",
              what, text.size(), rounds, per_char[per_char.size() / 2], per_char.back(),
              per_char.back() < 1.0 ? "met" : "MISSED", paced, paced / static_cast<double>(text.size()));
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
  // The rest of the run's objects, for the context DIGITA runs in.
  kal::Network network(platform, config);
  kal::RunContext context{platform, config, player, voices, speech, network, the_console, *loop, speech_log};
  const char* x11 = std::getenv("BENCH_X11");
  bool real = x11 && std::string(x11) == "1";
  if (!real) kal::SetDesktopAutomation(platform, std::make_unique<kal::RecordingDesktop>());
  if (kal::Desktop(platform).Availability() != kal::DesktopAvailability::kReady) {
    std::fprintf(stderr, "bench_typing: no display to type on\n");
    return 1;
  }
  std::printf("bench_typing: keys to the %s\n", real ? "X display through XTest" : "recording desktop");
  std::string ascii;
  while (ascii.size() < 100) ascii += "The quick brown fox jumps over the lazy dog 0123456789 ";
  ascii.resize(100);
  std::string accented;
  while (accented.size() < 100) accented += kal::L1("ação, pão, café, órgão, Ç, ü, ñ ");
  accented.resize(100);
  int rounds = real ? 5 : 50;
  Report(context, "ASCII text", ascii, rounds);
  Report(context, "accented Latin-1 text", accented, rounds);
  return 0;
}
