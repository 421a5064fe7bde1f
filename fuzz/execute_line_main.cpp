// fuzz_execute_line: feeds arbitrary bytes to the interpreter. The first
// byte picks the mode: even runs the rest as one line through ExecuteLine
// (plain and nested), odd stores it as a script (split at LF) and runs it
// through the run driver, with its lines decoded unless the byte's second
// bit is set (then every line runs through its handler from the text).
// With the third bit set as well, an odd byte runs the script three ways,
// each on fresh run objects: decoded with quiet lines in their quick form,
// decoded one line at a time, and through the handlers; it aborts when
// they end differently (the end, its line, the console's text, every
// variable, the names in order, the lines run): all three must agree. Every
// run reads one pinned local time, and the comparing mode leaves RANDOMIZA
// out (it seeds from a clock that moves on between the ways). The console is in memory with no keys, so the
// first wait for a key requests the stop, and every later wait and the run
// loop give up at once (each input has a fresh console); runs are cut after a
// bounded number of lines and texts are kept small, so each input costs
// bounded time and memory.
//
// Build and run with the fuzzer (other builds only replay files: fuzz/replay.cpp):
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKALDORIN_FUZZ=ON -DKALDORIN_TESTS=OFF -DKALDORIN_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_execute_line
//   build-fuzz/fuzz_execute_line CORPUS_DIR -dict=fuzz/execute_line.dict -max_len=1200000 -close_fd_mask=2 -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "4_voices/voices.h"
#include "7_net/network.h"
#include "3_audio/wave_player_state.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "0_base/speech_log.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/event_loop.h"

namespace {

// The commands fuzzed: the core of the language. Files, programs, the
// network, sounds and window automation touch the machine and stay out.
bool Fuzzed(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "DEBUG", "SEJA", "ESCREVE", "SOMA", "SUBTRAI", "MULTIPLICA", "DIVIDE", "CONCATENA", "COPIA",
      "LISTA", "DELETA", "SUBSTITUI", "DESVIA", "SE", "SENAO", "SEN\xC3O", "ENQUANTO", "REPETE",
      "FIM", "TERMINA", "CHAMA", "RETORNA", "RANDOMIZA", "CHECA"};
  for (auto w : kWords)
    if (w == word) return true;
  return false;
}

// The local time of every run: the ways of running one input, one after the
// other, must read the same clock (SEJA's HORA, TEMPO and DIA).
constexpr kal::LocalTime kFuzzTime = {2026, 12, 11, 5, 10, 20, 30, 40};

// What every fuzzed interpreter may do.
kal::RunLimits FuzzLimits() {
  kal::RunLimits limits;
  limits.allowed_commands.assign(static_cast<size_t>(kal::kCommandCount), false);
  for (int i = 0; i < kal::kCommandCount; ++i)
    limits.allowed_commands[static_cast<size_t>(i)] = Fuzzed(kal::kCommandTable[i].word);
  limits.max_lines = 3000;
  limits.max_value_size = 16 * 1024;
  return limits;
}

// What every run uses, for the whole fuzzing process: the loop and the
// voices (whose tables are loaded once), with the wave player they play on,
// the platform state of its device and its speech log (which has no file and
// keeps nothing).
struct LastingSubsystems {
  std::unique_ptr<kal::EventLoop> loop = kal::MakeFakeEventLoop();  // every input's runs wait on it
  kal::Platform platform{*loop};  // the device the voices' wave player plays on
  kal::ConfigState config{platform};  // the player's between inputs; during one, its run's
  kal::SpeechLog speech_log;
  kal::WavePlayer player{platform, config, speech_log};  // made fresh for each input
  kal::Voices voices{player};
};

LastingSubsystems& SetUpOnce() {
  static LastingSubsystems lasting;
  return lasting;
}

kal::RunEnd RunScriptBytes(kal::InterpreterState& in, std::string_view text) {
  int n = 0;
  while (!text.empty() && n < kal::kMaxScriptLines) {
    size_t nl = text.find('\n');
    kal::StoreLine(in, text.substr(0, nl), ++n);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
  }
  return kal::RunDriver(in);
}

// The lasting voices' player, made fresh on the configuration of an input's
// run (the speech facade built after it reads the same one).
kal::WavePlayer& FreshPlayer(LastingSubsystems& l, kal::ConfigState& config) {
  kal::CloseWaveDevice(l.player);
  l.player = kal::WavePlayer(l.platform, config, l.speech_log);
  return l.player;
}

// The run objects of one input (or of one way of running it), on the
// lasting loop and voices, installed for their life.
struct InputRun {
  explicit InputRun(LastingSubsystems& l) : lasting(l), loop(*l.loop) {
    platform.pinned_time = &kFuzzTime;
    kal::SetConsoleFrontEnd(the_console, kal::MakeMemoryFrontEnd("", &console_text));
  }
  // The player outlives this run's configuration: it goes back to the
  // lasting one until the next input's run replaces it.
  ~InputRun() { lasting.player.config = &lasting.config; }
  InputRun(const InputRun&) = delete;
  InputRun& operator=(const InputRun&) = delete;

  LastingSubsystems& lasting;
  std::string console_text;  // what the run wrote; outlives the console
  kal::EventLoop& loop;
  kal::Platform platform{loop};  // the platform layer's state for the run
  kal::ConfigState config{platform};  // and the configuration's
  kal::WavePlayer& player = FreshPlayer(lasting, config);
  kal::SpeechState speech{lasting.voices, platform};  // the speech facade and the network wait on it
  kal::Network network{platform, config};
  kal::Console the_console{platform, speech};  // and the console's
  kal::ConsoleHookGuard hooking{the_console};
  kal::RunContext context{platform, config, player, lasting.voices, speech, network, the_console, loop,
                          lasting.speech_log};
};

// What a script's run leaves that both ways of running it must agree on.
struct RunTrace {
  kal::EndReason reason = kal::EndReason::kNormal;
  int line = 0;
  std::string console;
  std::vector<std::string> vars;
  std::vector<std::string> names;
  int64_t lines_run = 0;
  bool operator==(const RunTrace&) const = default;
};

enum class Way { kQuick, kDecoded, kByText };

RunTrace RunOneWay(LastingSubsystems& lasting, const kal::RunLimits& limits, std::string_view text, Way way) {
  InputRun run(lasting);
  kal::InterpreterState in;
  in.context = &run.context;
  in.limits = limits;
  in.limits.decode_lines = way != Way::kByText;
  in.limits.quick_lines = way == Way::kQuick;
  kal::RunEnd end = RunScriptBytes(in, text);
  RunTrace t;
  t.reason = end.reason;
  t.line = end.line;
  t.console = run.console_text;
  for (int slot = 1; slot <= kal::kVariableSlots; ++slot) t.vars.push_back(kal::Var(in, slot));
  t.names = in.names;
  t.lines_run = in.lines_run;
  return t;
}

void ExpectSame(const RunTrace& a, const RunTrace& b, const char* what) {
  if (a == b) return;
  std::fprintf(stderr, "%s disagree (end %d/%d, line %d/%d, lines run %lld/%lld)\n", what,
               static_cast<int>(a.reason), static_cast<int>(b.reason), a.line, b.line,
               static_cast<long long>(a.lines_run), static_cast<long long>(b.lines_run));
  std::abort();
}

void ExpectSameAllWays(LastingSubsystems& lasting, const kal::RunLimits& limits, std::string_view text) {
  RunTrace quick = RunOneWay(lasting, limits, text, Way::kQuick);
  RunTrace decoded = RunOneWay(lasting, limits, text, Way::kDecoded);
  RunTrace by_text = RunOneWay(lasting, limits, text, Way::kByText);
  ExpectSame(decoded, by_text, "the decoded lines and the handlers");
  ExpectSame(quick, decoded, "the quick form and the decoded lines one by one");
}


// The limits of the comparing mode: RANDOMIZA seeds the generator from the
// loop's clock, which moves on from one way's run to the next, so it is
// left out there.
kal::RunLimits ComparingLimits() {
  kal::RunLimits limits = FuzzLimits();
  limits.allowed_commands[static_cast<size_t>(kal::FindCommand("RANDOMIZA"))] = false;
  return limits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LastingSubsystems& lasting = SetUpOnce();
  static const kal::RunLimits kLimits = FuzzLimits();
  static const kal::RunLimits kComparing = ComparingLimits();
  if (size == 0) return 0;
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 1 && (data[0] & 6) == 6) {
    ExpectSameAllWays(lasting, kComparing, text);
    return 0;
  }
  InputRun run(lasting);
  kal::InterpreterState in;
  in.context = &run.context;
  in.limits = kLimits;
  if (data[0] % 2 == 0) {
    kal::StoreLine(in, "@fim", 1);  // something for jumps to find
    kal::ExecuteLine(in, text, false);
    kal::ExecuteLine(in, text, true);
  } else {
    in.limits.decode_lines = (data[0] & 2) == 0;
    RunScriptBytes(in, text);
  }
  return 0;
}
