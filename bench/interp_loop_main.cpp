// bench_interp_loop: how fast the interpreter runs plain loops, beside perl
// and lua running the same loops in the same run.
//
// Two loops, each run by every program as a whole process, from its start
// to its end (no program's start is subtracted; the start of each, running
// nothing, is printed on its own line for the reader):
//   counting:   ENQUANTO $i < n / SOMA $i 1 / FIM ENQUANTO; perl as a perl
//               programmer writes it, `for my $i (1 .. $n) { $c++ }`; lua
//               with a local and the numeric for, `for i = 1, n do c = c + 1
//               end`.
//   arithmetic: REPETE over n passes with a SOMA and a one-line SE whose
//               expression picks every 1000th pass for a CONCATENA; perl and
//               lua test with their integer remainder (`%`). Appending one
//               character per 1000 passes makes this a loop of arithmetic
//               and conditions, not of strings: bench_peers has the loop
//               that works on strings.
// The kaldorin loops run in process too (fake event loop, memory console,
// no speech log), which shows the loop without the program's start. Each
// figure is the median of several rounds, taken in turns so that a busy
// machine weighs on all alike; ratios are passes per second of kaldorin
// over those of the other program (1.0 or more: at least as fast), for the
// whole kaldorin process only. The figures are printed, never judged:
// timings depend on the machine.
//
// Usage: bench_interp_loop [passes]   (default 10000000)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "7_net/network.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "bench/peer_stats.h"

namespace {

constexpr int kRounds = 5;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A loop as each program writes it. The kaldorin script keeps its counter
// in variable slot `counter`, which holds `passes` at the end, and a text
// in slot `text` (0: none) that holds passes / 1000 bytes.
struct LoopCase {
  const char* name;
  const char* tag;  // in the script file's name
  std::vector<std::string> script;
  int counter, text;
  std::string perl, lua;
};

LoopCase CountingLoop(long passes) {
  std::string n = std::to_string(passes);
  return {"counting (ENQUANTO, SOMA)",
          "counting",
          {"seja $i 0", "enquanto $i < " + n, "  soma $i 1", "fim enquanto", "termina mudo"},
          27,  // $i: the first named variable
          0,
          "perl -e 'my $c = 0; for my $i (1 .. " + n + ") { $c++ }'",
          "lua5.4 -e 'local c = 0 for i = 1, " + n + " do c = c + 1 end'"};
}

LoopCase StringLoop(long passes) {
  std::string n = std::to_string(passes);
  return {"arithmetic (REPETE, SOMA, SE, a rare CONCATENA)",
          "arithmetic",
          {"seja c 0", "seja t \"\"", "repete i " + n, "  soma c 1", "  se (i/1000*1000) = i concatena t \"x\"",
           "fim repete", "termina mudo"},
          3,  // c
          20,  // t
          "perl -e 'my $c = 0; my $t = \"\"; for my $i (1 .. " + n +
              ") { $c++; $t .= \"x\" if $i % 1000 == 0 }'",
          "lua5.4 -e 'local c = 0 local t = \"\" for i = 1, " + n +
              " do c = c + 1 if i % 1000 == 0 then t = t .. \"x\" end end'"};
}

// Wall time of one shell command, or -1 when it failed.
double TimeCommand(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return -1;
  return Seconds(start);
}

// One in-process run of the loop: its time, or -1 when it did not run as
// expected. *lines: the lines it executed.
double TimeInProcess(kal::RunContext& context, const LoopCase& loop, long passes, int64_t* lines) {
  using namespace kal;
  InterpreterState in;
  in.context = &context;
  int n = 0;
  for (const std::string& line : loop.script) StoreLine(in, line, ++n);
  auto start = std::chrono::steady_clock::now();
  RunEnd r = RunScript(in);
  double secs = Seconds(start);
  *lines = in.lines_run;
  bool ok = r.reason == EndReason::kNormal && Var(in, loop.counter) == std::to_string(passes) &&
            (loop.text == 0 || Var(in, loop.text).size() == static_cast<size_t>(passes / 1000));
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

// A script file for the kaldorin program; removed with the object.
class ScriptFile {
 public:
  ScriptFile(const std::string& tag, const std::vector<std::string>& lines)
      : path_((std::filesystem::temp_directory_path() /
               ("kaldorin-bench-loop-" + tag + "-" + std::to_string(getpid()) + ".kal"))
                  .string()) {
    std::ofstream out(path_);
    for (const std::string& line : lines) out << line << "\n";
  }
  ~ScriptFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  // The command that runs it headless, without an audio device.
  std::string Command(const std::string& program) const {
    return "SDL_AUDIODRIVER=dummy '" + program + "' --headless '" + path_ + "' </dev/null >/dev/null 2>&1";
  }

 private:
  std::string path_;
};

struct Others {
  bool perl = false, lua = false;
};

// Median times of the programs on one loop; -1 where one did not run.
struct Times {
  double in_process = -1, as_process = -1, perl = -1, lua = -1;
  int64_t lines = 0;
};

// A failed run (-1) is left out of the median.
void Add(std::vector<double>* v, double s) {
  if (s > 0) v->push_back(s);
}

bool TimeLoop(kal::RunContext& context, const LoopCase& loop, long passes, const std::string& program,
              const Others& others, Times* t) {
  ScriptFile script(loop.tag, loop.script);
  std::vector<double> in_process, as_process, perl, lua;
  for (int round = 0; round < kRounds; ++round) {
    double s = TimeInProcess(context, loop, passes, &t->lines);
    if (s < 0) {
      std::fprintf(stderr, "bench_interp_loop: the %s loop did not run as expected\n", loop.name);
      return false;
    }
    Add(&in_process, s);
    if (!program.empty()) Add(&as_process, TimeCommand(script.Command(program)));
    if (others.perl) Add(&perl, TimeCommand(loop.perl));
    if (others.lua) Add(&lua, TimeCommand(loop.lua));
  }
  t->in_process = Median(in_process);
  t->as_process = Median(as_process);
  t->perl = Median(perl);
  t->lua = Median(lua);
  return true;
}

// The ratios (t's perl and lua times over secs) only where given: a whole
// process is compared with whole processes only.
void PrintRate(const char* what, long passes, double secs, const Times& t) {
  if (secs < 0) {
    std::printf("  %-24s did not run\n", what);
    return;
  }
  std::printf("  %-24s %7.3f s  %6.2f M passes/s", what, secs, passes / secs / 1e6);
  if (t.perl > 0) std::printf("  to perl %.2f", t.perl / secs);
  if (t.lua > 0) std::printf("  to lua %.2f", t.lua / secs);
  std::printf("\n");
}

void PrintLoop(const LoopCase& loop, long passes, const Times& t, const Others& others) {
  std::printf("%s: %ld passes, %lld lines, %.1f M lines/s in process\n", loop.name, passes,
              static_cast<long long>(t.lines), t.lines / t.in_process / 1e6);
  Times none;
  PrintRate("kaldorin in process:", passes, t.in_process, none);
  PrintRate("kaldorin as a process:", passes, t.as_process, t);
  if (others.perl) PrintRate("perl:", passes, t.perl, none);
  if (others.lua) PrintRate("lua5.4:", passes, t.lua, none);
}

// Each program's own start and end, running nothing (best of the rounds;
// bench_startup and bench_peers give medians).
void PrintStarts(const std::string& program, const Others& others) {
  ScriptFile empty("empty", {"termina mudo"});
  double kal = -1, perl = -1, lua = -1;
  for (int round = 0; round < kRounds; ++round) {
    if (!program.empty()) Keep(&kal, TimeCommand(empty.Command(program)));
    if (others.perl) Keep(&perl, TimeCommand("perl -e 1"));
    if (others.lua) Keep(&lua, TimeCommand("lua5.4 -e ''"));
  }
  std::printf("start and end of each program, running nothing (included in the figures above):\n");
  std::printf("  kaldorin %.3f s", kal);
  if (others.perl) std::printf("  perl %.3f s", perl);
  if (others.lua) std::printf("  lua5.4 %.3f s", lua);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> event_loop = kal::MakeFakeEventLoop();  // outlives what waits on it
  kal::Platform platform(*event_loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the voices and the speech facade the console speaks with
  kal::SpeechState speech(voices, platform);
  kal::Console the_console(platform, speech);  // and the console's
  kal::ConsoleHookGuard hooking(the_console);
  using namespace kal;
  long passes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000000;
  if (passes < 1000) passes = 10000000;
  std::string console;
  Network network(platform, config);
  RunContext context{platform, config, player, voices, speech, network, the_console, *event_loop, speech_log};
  SetConsoleFrontEnd(the_console, MakeMemoryFrontEnd("", &console));  // memory console: nothing is shown

  std::string program = ProgramPath();
  Others others;
  others.perl = Installed("perl");
  others.lua = Installed("lua5.4");
  std::printf("median of %d rounds, whole processes unless said%s%s\n", kRounds, others.perl ? "" : "; perl: not installed",
              others.lua ? "" : "; lua5.4: not installed");
  for (const LoopCase& loop : {CountingLoop(passes), StringLoop(passes)}) {
    Times t;
    if (!TimeLoop(context, loop, passes, program, others, &t)) return 1;
    PrintLoop(loop, passes, t, others);
  }
  PrintStarts(program, others);
  return 0;
}
