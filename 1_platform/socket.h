// The socket seam: IPv4 stream sockets as the network layer needs them.
//
// Sockets are plain integers (-1 = none) and IPv4 addresses are 32-bit
// values in host order (a.b.c.d is a<<24 | b<<16 | c<<8 | d). Every call
// blocks as the platform call does, except SockWaitReadable, which waits at
// most the time given. Sending never raises a signal when the peer is gone:
// it fails instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

// Creates an IPv4 TCP socket; -1 on failure.
int SockCreateTcp();
// Binds to the local address (0: any) and the port (0: any port). With reuse
// set, a port left in TIME_WAIT by an earlier server can be bound again.
bool SockBind(int s, uint32_t address, uint16_t port, bool reuse);
constexpr uint32_t kLoopbackAddress = 0x7F000001;
bool SockConnect(int s, uint32_t address, uint16_t port);
// Starts a connection without waiting for it: 1 connected, 0 still being
// made (wait with SockWaitWritable, then ask SockConnectResult), -1 failed.
int SockConnectStart(int s, uint32_t address, uint16_t port);
// The outcome of a connection that SockConnectStart left being made. The
// socket blocks again afterwards, as every other call expects.
bool SockConnectResult(int s);
bool SockListen(int s, int backlog);
// Waits without limit for one client; -1 on failure.
int SockAccept(int s);
void SockClose(int s);
// Ends both directions at once; a receive blocked on another thread returns.
void SockShutdown(int s);

// Blocking send and receive; the count, 0 at the end of the stream (receive),
// or -1 on an error (including a receive that timed out).
long SockSend(int s, const void* data, size_t length);
long SockRecv(int s, void* buffer, size_t size);

// A receive that does not wait: the count, 0 at the end of the stream, -1
// on an error, or kNothingYet when no byte is waiting.
constexpr long kNothingYet = -2;
long SockRecvNoWait(int s, void* buffer, size_t size);

// Waits at most timeout_us microseconds for data or the end of the stream:
// 1 readable, 0 not (yet), -1 error.
int SockWaitReadable(int s, long timeout_us);
// The same for room to send (and for the end of a connect): 1, 0 or -1.
int SockWaitWritable(int s, long timeout_us);

// Bounds every later blocking receive and send of the socket, so that a peer
// that goes silent cannot hold the program forever.
void SockSetIoTimeout(int s, int seconds);

// Connects a stream socket to a local socket (a named socket file of this
// machine, as a program we started offers for its control); -1 when nothing
// listens there or the name is too long. The socket then works with the
// calls above.
int SockConnectLocal(const std::string& path);

// Name look-up restricted to IPv4: the first address of the answer.
bool SockLookupIPv4(const std::string& name, uint32_t* address);

// This side's and the peer's address of a connected socket.
bool SockLocalAddress(int s, uint32_t* address);
bool SockPeerAddress(int s, uint32_t* address);
// The port a socket is bound to (tests and servers that bound port 0).
int SockLocalPort(int s);

}  // namespace kal
