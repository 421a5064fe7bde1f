// bench_interp_loop: how fast the interpreter runs a plain counting loop,
// beside perl running the same loop in the same run.
//
// The KALDORIN loop: REPETE over 2,000,000 passes with a SOMA and a one-line
// SE whose expression picks every 1000th pass for a CONCATENA. It runs twice
// over: in process (fake event loop, memory console, no speech log) and as a
// whole process (the kaldorin program, headless, on a script file, no audio
// device). Perl runs the same work as a Perl programmer writes it, a
// `for my $i (1..$n)` loop, as a process. Each figure is the best of several
// rounds, taken in turns so that a busy machine weighs on all alike; the
// ratios are passes per second of kaldorin over those of perl (1.0 or more:
// at least as fast).
//
// Usage: bench_interp_loop [passes]   (default 2000000)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
#include "1_platform/event_loop.h"
#include "6_console/console.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"

namespace {

constexpr int kRounds = 5;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::vector<std::string> LoopScript(long passes) {
  return {
      "seja c 0",
      "seja t \"\"",
      "repete i " + std::to_string(passes),
      "  soma c 1",
      "  se (i/1000*1000) = i concatena t \"x\"",
      "fim repete",
      "termina mudo",
  };
}

std::string PerlCommand(long passes) {
  return "perl -e 'my $c = 0; my $t = \"\"; for my $i (1.." + std::to_string(passes) +
         ") { $c++; $t .= \"x\" if int($i / 1000) * 1000 == $i; }'";
}

// Wall time of one shell command, or -1 when it failed.
double TimeCommand(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return -1;
  return Seconds(start);
}

// One in-process run of the loop: its time, or -1 when it did not run as
// expected. *lines: the lines it executed.
double TimeInProcess(long passes, int64_t* lines) {
  using namespace kal;
  InterpreterState in;
  int n = 0;
  for (const std::string& line : LoopScript(passes)) StoreLine(in, line, ++n);
  auto start = std::chrono::steady_clock::now();
  RunEnd r = RunScript(in);
  double secs = Seconds(start);
  *lines = in.lines_run;
  bool ok = r.reason == EndReason::kNormal && Var(in, 3) == std::to_string(passes) &&
            Var(in, 20).size() == static_cast<size_t>(passes / 1000);
  return ok ? secs : -1;
}

// The kaldorin program beside this benchmark in the build folder.
std::string ProgramPath() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  auto program = self.parent_path() / "kaldorin";
  return std::filesystem::exists(program, ec) ? program.string() : std::string();
}

bool Installed(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

void Keep(double* best, double s) {
  if (s > 0 && (*best < 0 || s < *best)) *best = s;
}

void PrintRate(const char* what, long passes, double secs, double perl_secs) {
  if (secs < 0) {
    std::printf("%-28s did not run\n", what);
    return;
  }
  std::printf("%-28s %7.3f s  %6.2f M passes/s", what, secs, passes / secs / 1e6);
  if (perl_secs > 0) std::printf("  ratio to perl %.2f", perl_secs / secs);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  kal::Platform platform;  // the platform layer's state for the run
  kal::ScopedPlatform use_platform(platform);
  kal::ConfigState config;  // and the configuration's
  kal::ScopedConfig use_config(config);
  using namespace kal;
  long passes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000000;
  if (passes < 1000) passes = 2000000;
  std::string console;
  SetLoop(MakeFakeEventLoop());
  WavePlayer player;  // the subsystems a run speaks through, as main builds them
  WavePlayerScope playing(player);
  Voices voices;
  VoicesScope voicing(voices);
  SpeechState speech;
  SpeechScope speaking(speech);
  Network network;
  NetworkScope networking(network);
  ResetConsoleForTest("", &console);  // memory console: nothing is shown
  CaptureSpeechLog(false);

  std::string program = ProgramPath();
  std::string script = (std::filesystem::temp_directory_path() / ("kaldorin-bench-loop-" + std::to_string(getpid()) + ".kal")).string();
  {
    std::ofstream out(script);
    for (const std::string& line : LoopScript(passes)) out << line << "\n";
  }
  std::string process_command = "SDL_AUDIODRIVER=dummy '" + program + "' --headless '" + script + "' </dev/null >/dev/null 2>&1";
  bool perl = Installed("perl");

  double in_process = -1, as_process = -1, perl_secs = -1;
  int64_t lines = 0;
  for (int round = 0; round < kRounds; ++round) {
    double s = TimeInProcess(passes, &lines);
    if (s < 0) {
      std::fprintf(stderr, "bench_interp_loop: the loop did not run as expected\n");
      return 1;
    }
    Keep(&in_process, s);
    if (!program.empty()) Keep(&as_process, TimeCommand(process_command));
    if (perl) Keep(&perl_secs, TimeCommand(PerlCommand(passes)));
  }
  std::filesystem::remove(script);

  std::printf("loop of %ld passes (REPETE, SOMA, one-line SE with an expression), best of %d rounds\n", passes,
              kRounds);
  std::printf("kaldorin ran %lld lines: %.1f M lines/s in process\n", static_cast<long long>(lines),
              lines / in_process / 1e6);
  PrintRate("kaldorin in process:", passes, in_process, perl_secs);
  PrintRate("kaldorin as a process:", passes, as_process, perl_secs);
  if (perl) PrintRate("perl (for my $i):", passes, perl_secs, -1);
  else std::printf("perl: not installed\n");
  return 0;
}
