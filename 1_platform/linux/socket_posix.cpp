// POSIX implementation of the socket seam.
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "1_platform/socket.h"

namespace kal {
namespace {

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(address);
  return a;
}

// Retries a call that a signal interrupted.
template <typename F>
long Retry(F f) {
  long r;
  do {
    r = f();
  } while (r < 0 && errno == EINTR);
  return r;
}

}  // namespace

int SockCreateTcp() { return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP); }

bool SockBind(int s, uint32_t address, uint16_t port, bool reuse) {
  if (reuse) {
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  }
  sockaddr_in a = MakeAddress(address, port);
  return bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool SockConnect(int s, uint32_t address, uint16_t port) {
  sockaddr_in a = MakeAddress(address, port);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
  if (errno != EINTR) return false;
  // An interrupted connect goes on in the background: wait for its outcome.
  pollfd p{s, POLLOUT, 0};
  if (Retry([&] { return static_cast<long>(poll(&p, 1, -1)); }) <= 0) return false;
  int err = 0;
  socklen_t len = sizeof err;
  return getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
}

namespace {

// Switches the socket between blocking and non-blocking calls.
bool SetBlocking(int s, bool blocking) {
  int flags = fcntl(s, F_GETFL, 0);
  if (flags < 0) return false;
  flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return fcntl(s, F_SETFL, flags) == 0;
}

}  // namespace

int SockConnectStart(int s, uint32_t address, uint16_t port) {
  if (!SetBlocking(s, false)) return -1;
  sockaddr_in a = MakeAddress(address, port);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return SetBlocking(s, true) ? 1 : -1;
  if (errno == EINPROGRESS || errno == EINTR) return 0;
  return -1;
}

bool SockConnectResult(int s) {
  int err = 0;
  socklen_t len = sizeof err;
  bool ok = getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
  return SetBlocking(s, true) && ok;
}

bool SockListen(int s, int backlog) { return listen(s, backlog) == 0; }

int SockAccept(int s) {
  return static_cast<int>(Retry([&] { return static_cast<long>(accept4(s, nullptr, nullptr, SOCK_CLOEXEC)); }));
}

int SockConnectLocal(const std::string& path) {
  sockaddr_un a;
  std::memset(&a, 0, sizeof a);
  a.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof a.sun_path) return -1;
  std::memcpy(a.sun_path, path.data(), path.size());
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) return -1;
  // A local connection is made or refused at once.
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(s);
    return -1;
  }
  return s;
}

void SockClose(int s) {
  if (s >= 0) close(s);
}

void SockShutdown(int s) {
  if (s >= 0) shutdown(s, SHUT_RDWR);
}

long SockSend(int s, const void* data, size_t length) {
  return Retry([&] { return static_cast<long>(send(s, data, length, MSG_NOSIGNAL)); });
}

long SockRecv(int s, void* buffer, size_t size) {
  return Retry([&] { return static_cast<long>(recv(s, buffer, size, 0)); });
}

long SockRecvNoWait(int s, void* buffer, size_t size) {
  long n = Retry([&] { return static_cast<long>(recv(s, buffer, size, MSG_DONTWAIT)); });
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kNothingYet;
  return n;
}

namespace {

// Waits for the events on the socket at most timeout_us: 1, 0 or -1.
int WaitFor(int s, short events, long timeout_us) {
  if (s < 0) return -1;
  pollfd p{s, events, 0};
  // poll counts in milliseconds; a wait below one millisecond that is not
  // zero still waits one, so that a short timeout never becomes a spin.
  int ms = timeout_us <= 0 ? 0 : static_cast<int>((timeout_us + 999) / 1000);
  int r = static_cast<int>(Retry([&] { return static_cast<long>(poll(&p, 1, ms)); }));
  if (r < 0) return -1;
  if (r == 0) return 0;
  if (p.revents & POLLNVAL) return -1;
  return 1;  // the event, POLLHUP and POLLERR all let the call return at once
}

}  // namespace

int SockWaitReadable(int s, long timeout_us) { return WaitFor(s, POLLIN, timeout_us); }

int SockWaitWritable(int s, long timeout_us) { return WaitFor(s, POLLOUT, timeout_us); }

void SockSetIoTimeout(int s, int seconds) {
  timeval tv{seconds, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool SockLookupIPv4(const std::string& name, uint32_t* address) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &res) != 0 || !res) return false;
  bool ok = false;
  for (addrinfo* p = res; p; p = p->ai_next) {
    if (p->ai_family != AF_INET) continue;
    *address = ntohl(reinterpret_cast<sockaddr_in*>(p->ai_addr)->sin_addr.s_addr);
    ok = true;
    break;
  }
  freeaddrinfo(res);
  return ok;
}

bool SockLocalAddress(int s, uint32_t* address) {
  sockaddr_in a;
  socklen_t len = sizeof a;
  if (getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0 || a.sin_family != AF_INET) return false;
  *address = ntohl(a.sin_addr.s_addr);
  return true;
}

bool SockPeerAddress(int s, uint32_t* address) {
  sockaddr_in a;
  socklen_t len = sizeof a;
  if (getpeername(s, reinterpret_cast<sockaddr*>(&a), &len) != 0 || a.sin_family != AF_INET) return false;
  *address = ntohl(a.sin_addr.s_addr);
  return true;
}

int SockLocalPort(int s) {
  sockaddr_in a;
  socklen_t len = sizeof a;
  if (getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  return ntohs(a.sin_port);
}

}  // namespace kal
