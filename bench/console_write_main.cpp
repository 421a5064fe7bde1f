// bench_console_write: writes 10,000 lines through ConsoleWrite to the
// terminal front end on a pseudo-terminal (a thread drains the master side
// as a terminal would) and prints lines per second and bytes sent per line;
// then the bytes sent for one changed cell and for one scrolled line.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "5_speech/speech_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "2_config/config_state.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "1_platform/event_loop.h"
#include "1_platform/pty.h"

namespace {

constexpr int kLines = 10000;

// Counts what reaches the terminal, on its own thread.
class Drain {
 public:
  explicit Drain(int master) : master_(master), thread_([this] { Run(); }) {}
  ~Drain() {
    stop_ = true;
    thread_.join();
  }
  // Bytes received once the terminal has been quiet for a moment.
  size_t Settled() {
    size_t last = bytes_.load();
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      size_t now = bytes_.load();
      if (now == last) return now;
      last = now;
    }
  }

 private:
  void Run() {
    std::string chunk;
    while (!stop_) {
      chunk.clear();
      bytes_ += kal::DrainPseudoTerminal(master_, 10, &chunk);
    }
  }
  int master_;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> bytes_{0};
  std::thread thread_;
};

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
  using namespace kal;
  PseudoTerminal pty;
  if (!OpenPseudoTerminal(100, 30, &pty)) {
    std::fprintf(stderr, "no pseudo-terminal available\n");
    return 1;
  }
  Drain drain(pty.master);
  TerminalOptions opts;
  opts.truecolor = true;
  opts.handle_signals = false;
  SetConsoleFrontEnd(the_console, MakeTerminalFrontEnd(platform, pty.slave, pty.slave, opts));
  InitConsole(the_console);
  ClearScreen(the_console);
  size_t start_bytes = drain.Settled();

  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < kLines; ++i) {
    std::string line = "Linha " + std::to_string(i) + ": Radio Exemplo FM - Sao Paulo - http://exemplo.com/stream";
    ConsoleWrite(the_console, line + "\r\n");
  }
  auto t1 = std::chrono::steady_clock::now();
  size_t line_bytes = drain.Settled() - start_bytes;
  double secs = std::chrono::duration<double>(t1 - t0).count();

  size_t before = drain.Settled();
  GotoXY(the_console, 40, 12);
  ConsoleWrite(the_console, "x");
  size_t one_cell = drain.Settled() - before;

  before = drain.Settled();
  GotoXY(the_console, 1, 25);
  ConsoleWrite(the_console, "\r\n");
  size_t one_scroll = drain.Settled() - before;

  std::printf("lines written:          %d\n", kLines);
  std::printf("lines per second:       %.0f\n", kLines / secs);
  std::printf("bytes sent per line:    %.1f\n", static_cast<double>(line_bytes) / kLines);
  std::printf("bytes for one cell:     %zu\n", one_cell);
  std::printf("bytes for one scroll:   %zu\n", one_scroll);
  EndConsoleNormally(the_console);
  SetConsoleFrontEnd(the_console, nullptr);
  ClosePseudoTerminal(&pty);
  return 0;
}
