// The platform layer's state for one run, in one object.
//
// Each service of this layer that keeps something between calls keeps it
// here, in a part named for it: the stop request, the clean-ups for the end
// of the process, the program starter, the MBROLA factory, the parallel
// port, the sound device, the pinned power state and local time, the notice writer and the
// key source that the console installs, the connection to the desktop, the
// accessibility and automation back ends, and the event loop every wait of the run
// sleeps in (built by main before the platform, which holds it). main builds
// one Platform and hands it down: the layer's functions take the state they
// work on as their first argument (StopRequested(platform), Delay(platform,
// ms), StartProgram(platform, ...)), and the objects built on it (the
// console, the speech facade, the network, the front ends, the desktop's
// back ends) hold it. A test builds a fresh one for each case
// (tests/support/fresh_subsystems.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "0_base/run_end.h"

namespace kal {

class Accessibility;
class AudioDevice;
class DesktopAutomation;
class DesktopConnection;
class EventLoop;
class KeyInput;
class MbrolaSynth;
class ParallelPort;
class Programs;
class UserNotice;
struct LocalTime;
struct PowerStatus;

struct Platform {
  // The loop must outlive the platform state and what is made from it.
  explicit Platform(EventLoop& run_loop);
  ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // event_loop.h: the run's loop; the waits (pump.h) and the back ends
  // below watch, post and keep time through it.
  EventLoop& loop;
  // stop_request.h: the first recorded end of the run.
  struct Stop {
    bool requested = false;
    RunEnd end;
  } stop;
  // process.h: clean-ups for a stopped run, in the order registered.
  std::vector<std::function<void()>> exit_cleanups;
  // programs.h: the program starter a test installed, else the host's,
  // made on first use.
  Programs* programs = nullptr;
  std::unique_ptr<Programs> host_programs;
  // mbrola.h: makes the synthesiser in place of the real program (tests).
  std::function<std::unique_ptr<MbrolaSynth>()> mbrola_factory;
  // parallel_port.h: made on first use when none was set.
  std::unique_ptr<ParallelPort> parallel_port;
  // power.h, event_loop.h: answers in place of the machine's (tests).
  const PowerStatus* pinned_power = nullptr;
  const LocalTime* pinned_time = nullptr;
  // user_notice.h, pump.h: installed by the console.
  UserNotice* notice = nullptr;
  KeyInput* key_input = nullptr;
  // audio.h: the sound device, opened on first use when none was set.
  std::unique_ptr<AudioDevice> audio;
  // desktop_connection.h: the connection to the desktop, opened on first
  // use; it goes after the back ends below, which use it.
  std::unique_ptr<DesktopConnection> desktop_connection;
  // accessibility.h, automation.h: made on first use when none was set.
  std::unique_ptr<Accessibility> accessibility;
  std::unique_ptr<DesktopAutomation> desktop;
  uint64_t console_window = 0;
};

}  // namespace kal
