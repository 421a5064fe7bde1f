// Socket waits in slices, with the pump, a deadline and a stop check.
#include "7_net/net_wait.h"

#include <algorithm>

#include "7_net/net_user.h"
#include "7_net/network.h"
#include "1_platform/event_loop.h"
#include "1_platform/socket.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

// The longest the socket alone is waited on: keys are taken at least this
// often.
constexpr int64_t kSliceMs = 50;
constexpr int64_t kDefaultSilenceMs = 60000;

int PollSocket(int socket, SocketEvent event, int64_t ms) {
  long us = static_cast<long>(ms * 1000);
  return event == SocketEvent::kReadable ? SockWaitReadable(socket, us) : SockWaitWritable(socket, us);
}

// Lets the program's clock catch up with a slice that passed on the socket
// (the real clock moved already; a virtual one moves now), then takes input
// and runs posted tasks.
void EndSlice(Network& net, int64_t started, int64_t slice) {
  int64_t moved = net.loop.NowMs() - started;
  net.loop.Wait(static_cast<int>(moved < slice ? slice - moved : 0));
  UserOf(net).TakeInput();
}

}  // namespace

WaitResult WaitSocket(Network& net, int socket, SocketEvent event, int64_t deadline_ms, const StopCheck& stop) {
  if (socket < 0) return WaitResult::kFailed;
  for (;;) {
    int64_t now = net.loop.NowMs();
    if (deadline_ms != kNoDeadline && now >= deadline_ms) return WaitResult::kTimedOut;
    int64_t slice = deadline_ms == kNoDeadline ? kSliceMs : std::min(kSliceMs, deadline_ms - now);
    int r = PollSocket(socket, event, slice);
    if (r > 0) return WaitResult::kReady;
    if (r < 0) return WaitResult::kFailed;
    EndSlice(net, now, slice);
    if (StopRequested(net.platform) || (stop && stop())) return WaitResult::kStopped;
  }
}

int64_t DeadlineIn(Network& net, int64_t ms) { return ms > 0 ? net.loop.NowMs() + ms : kNoDeadline; }

int64_t SilenceLimitMs(const Network& net) { return net.silence_ms; }

void SetSilenceLimitForTest(Network& net, int64_t ms) { net.silence_ms = ms > 0 ? ms : kDefaultSilenceMs; }

}  // namespace kal
