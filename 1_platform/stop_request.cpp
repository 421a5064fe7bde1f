#include "1_platform/stop_request.h"

#include <csignal>

namespace kal {
namespace {

// A signal handler may only store into this; everything else is read and
// written on the program's one thread.
volatile std::sig_atomic_t g_signal = 0;

struct StopState {
  bool requested = false;
  RunEnd end;
};

StopState& Stop() {
  static StopState s;
  return s;
}

}  // namespace

void RequestStop(const RunEnd& end) {
  if (StopRequested()) return;
  Stop().requested = true;
  Stop().end = end;
}

void RequestStopFromSignal(int sig) {
  if (g_signal == 0) g_signal = sig;
}

bool StopRequested() { return Stop().requested || g_signal != 0; }

RunEnd RequestedStop() {
  if (Stop().requested) return Stop().end;
  if (g_signal != 0) return EndOfSignal(g_signal);
  return RunEnd{};
}

void ClearStopRequest() {
  Stop() = StopState();
  g_signal = 0;
}

}  // namespace kal
