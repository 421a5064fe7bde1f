// bench_window_paint: times the console window's painting on an X display
// (a private Xvfb that it starts and stops itself when DISPLAY is not set):
// a full repaint of the 80x25 cells (every cell changed; once with one
// colour pair, once with the colours changing at every cell), one changed
// cell, and one character typed through ConsoleWrite. Each figure is the
// median and the mean wall time of the repaint sent to the display (the
// changed rectangles put on the window and synchronised with the server).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "5_speech/speech_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "2_config/config_state.h"
#include "0_base/console_grid.h"
#include "1_platform/console_frontend.h"
#include "1_platform/event_loop.h"
#include "6_console/console_state.h"
#include "1_platform/unavailable_backends.h"
#include "6_console/console.h"

namespace {

constexpr int kRounds = 300;

// Starts Xvfb and returns its pid, with DISPLAY set; -1 when it cannot.
int StartXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  int pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char c;
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
  close(fds[0]);
  if (number.empty()) return -1;
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return pid;
}

struct Figures {
  double median_ms, mean_ms;
};

Figures Time(const std::function<void(int)>& change, const std::function<void()>& paint) {
  std::vector<double> ms;
  for (int i = 0; i < kRounds; ++i) {
    change(i);
    auto t0 = std::chrono::steady_clock::now();
    paint();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  double sum = 0;
  for (double v : ms) sum += v;
  return {sorted[sorted.size() / 2], sum / ms.size()};
}

void Print(const char* what, Figures f) { std::printf("%-44s median %.3f ms  mean %.3f ms\n", what, f.median_ms, f.mean_ms); }

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
  int xvfb = -1;
  if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
    xvfb = StartXvfb();
    if (xvfb < 0) {
      std::fprintf(stderr, "bench_window_paint: no display and no Xvfb\n");
      return 1;
    }
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string out;
  kal::SetConsoleFrontEnd(the_console, kal::MakeMemoryFrontEnd("", &out));
  kal::WindowOptions o;
  o.face = "DejaVu Sans Mono";
  o.cell_width = 12;
  o.cell_height = 24;
  auto front = kal::MakeWindowFrontEnd(platform, o);
  if (std::string why = kal::StandInReason(*front); !why.empty()) {
    std::fprintf(stderr, "bench_window_paint: the window could not be opened: %s\n", why.c_str());
    return 1;
  }
  kal::SetConsoleFrontEnd(the_console, std::move(front));
  kal::InitConsole(the_console);
  kal::ConsoleGrid& g = kal::GridOf(the_console);
  std::printf("window of 80x25 cells of 12x24 pixels (%dx%d)\n", 80 * 12, 25 * 24);
  auto fill = [&](int round, bool mixed) {
    std::string row(80, ' ');
    for (int y = 0; y < 25; ++y) {
      for (int x = 0; x < 80; ++x) row[x] = static_cast<char>('A' + (x + y + round) % 26);
      g.GotoXY(1, y + 1);
      for (int x = 0; x < 80; ++x) {
        g.set_attribute(static_cast<uint8_t>(mixed ? ((x + round) % 7 + 1) | (((y + round) % 3) << 4) : 0x0F));
        g.Write(std::string(1, row[x]));
      }
    }
  };
  Print("full repaint, one colour pair:", Time([&](int i) { fill(i, false); }, [&] { kal::RefreshConsole(the_console); }));
  Print("full repaint, colours changing at each cell:", Time([&](int i) { fill(i, true); }, [&] { kal::RefreshConsole(the_console); }));
  Print("one changed cell:", Time([&](int i) {
          g.GotoXY(40, 12);
          g.set_attribute(0x0F);
          g.Write(std::string(1, static_cast<char>('a' + i % 26)));
        }, [&] { kal::RefreshConsole(the_console); }));
  Print("one character typed (ConsoleWrite):", Time([&](int i) { kal::GotoXY(the_console, 10 + i % 60, 20); }, [&] {
          kal::ConsoleWrite(the_console, "x");
        }));
  kal::SetConsoleFrontEnd(the_console, nullptr);
  if (xvfb > 0) {
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
  }
  return 0;
}
