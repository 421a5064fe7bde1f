// Waiting for a server's bytes in the HTTP client without ever blocking the
// user: every wait, for the status line, the headers or the body, sleeps in
// the event loop (which wakes when the socket has data), takes the keys
// between steps, and gives up after a silence of kHttpWaitSeconds.
#pragma once

#include <functional>
#include <string>

#include "7_net/line_reader.h"
#include "7_net/net_wait.h"

namespace kal {

class EventLoop;

// Why a receive brought nothing.
enum class WaitEnd {
  kNone,     // bytes came
  kClosed,   // the server ended the connection (or it failed)
  kStopped,  // the user asked to stop
  kSilent,   // nothing came within the silence limit
  kTooLong,  // a line passed its limit
  kOutOfTime,  // the time given for the whole transfer (or head) is up
};

// While a reply head is awaited, keys are left queued for this long of
// silence: a key typed for the transfer (Enter for progress, Esc to stop a
// stream) is meant for its body, and a server that answers at once should
// not see it taken earlier.
constexpr int kHeadKeyGraceMs = 2000;

// Up to max bytes, at least one: the count, or 0 with *why telling what
// ended the wait. stop is asked once the server has been silent for
// keys_after_ms. give_up_at (a time on the network's loop, or kNoDeadline) ends
// the wait with kOutOfTime however fast bytes come: a server that trickles
// a byte at a time never counts as silent.
int ReceiveWaiting(LineReader& reader, char* out, int max, const StopCheck& stop, WaitEnd* why,
                   int keys_after_ms = 0, int64_t give_up_at = kNoDeadline);

// One line up to LF (without it and a CR before it), at most max_length
// bytes. kNone when a whole line came; kClosed also when the connection
// ended in the middle of a line (what came is in *line).
WaitEnd ReceiveLineWaiting(LineReader& reader, size_t max_length, const StopCheck& stop, std::string* line,
                           int keys_after_ms = 0, int64_t give_up_at = kNoDeadline);

// Lets the event loop's waits end as soon as the socket has data.
class SocketWatch {
 public:
  // Watched on the network's loop.
  SocketWatch(Network& net, int socket);
  ~SocketWatch();
  SocketWatch(const SocketWatch&) = delete;
  SocketWatch& operator=(const SocketWatch&) = delete;

 private:
  int socket_;
  EventLoop& loop_;
};

}  // namespace kal
