// Waiting on a socket without holding the program: every network wait (the
// connect, the TLS handshake, a receive) goes through WaitSocket, which polls
// the socket in short slices, lets the event pump take keys and posted tasks
// between slices, ends at a deadline on the program's clock, and asks a stop
// check (the user's keys) between slices.
//
// The deadline for the connect and the handshake is the silence limit: how
// long a peer may stay silent before the program gives up on it.
#pragma once

#include <cstdint>
#include <functional>

namespace kal {

struct Network;

// Asked between slices of a wait; true ends the wait (the user asked to
// stop). An empty check never stops.
using StopCheck = std::function<bool()>;

constexpr int64_t kNoDeadline = -1;

enum class WaitResult {
  kReady,     // the socket can be read (or written) now
  kTimedOut,  // the deadline passed
  kStopped,   // the stop check said so
  kFailed,    // the socket is not usable
};

enum class SocketEvent { kReadable, kWritable };

// Waits for the event until the deadline (a time on the network's loop, or
// kNoDeadline). The slices keep pace with the program's clock, so the
// virtual clock of tests moves as fast as the real one does. The network's
// user takes input between the slices.
WaitResult WaitSocket(Network& net, int socket, SocketEvent event, int64_t deadline_ms, const StopCheck& stop);

// The deadline that lies ms from now; kNoDeadline for ms <= 0.
int64_t DeadlineIn(Network& net, int64_t ms);

// Milliseconds a peer may stay silent during a connect or a TLS handshake
// (60 s; tests shorten it, 0 restores the default).
int64_t SilenceLimitMs(const Network& net);
void SetSilenceLimitForTest(Network& net, int64_t ms);

}  // namespace kal
