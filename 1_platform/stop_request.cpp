#include "1_platform/stop_request.h"

#include <csignal>

#include "1_platform/platform.h"

namespace kal {
namespace {

// A signal handler may only store into this, so it cannot live in the
// platform's object; everything else is read and written on the program's
// one thread.
volatile std::sig_atomic_t g_signal = 0;

}  // namespace

void RequestStop(Platform& p, const RunEnd& end) {
  if (StopRequested(p)) return;
  p.stop.requested = true;
  p.stop.end = end;
}

void RequestStopFromSignal(int sig) {
  if (g_signal == 0) g_signal = sig;
}

bool StopRequested(const Platform& p) { return p.stop.requested || g_signal != 0; }

RunEnd RequestedStop(const Platform& p) {
  if (p.stop.requested) return p.stop.end;
  if (g_signal != 0) return EndOfSignal(g_signal);
  return RunEnd{};
}

void ClearStopRequest(Platform& p) {
  p.stop = Platform::Stop();
  g_signal = 0;
}

}  // namespace kal
