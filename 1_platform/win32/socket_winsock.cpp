// Winsock implementation of the socket seam. A SOCKET is a small handle
// value on 32-bit Windows, so it travels as the seam's int; INVALID_SOCKET
// becomes -1. Winsock is started once, before the first socket.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "1_platform/socket.h"

namespace kal {
namespace {

bool Started() {
  static bool ok = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ok;
}

SOCKET S(int s) { return static_cast<SOCKET>(static_cast<unsigned>(s)); }

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(address);
  return a;
}

bool SetBlocking(int s, bool blocking) {
  u_long nonblocking = blocking ? 0 : 1;
  return ioctlsocket(S(s), FIONBIO, &nonblocking) == 0;
}

// Waits for the socket at most timeout_us: 1, 0 or -1. A connection that
// failed shows in the exception set on Windows, not as writable.
int WaitFor(int s, bool write, long timeout_us) {
  if (s < 0) return -1;
  fd_set set, errors;
  FD_ZERO(&set);
  FD_ZERO(&errors);
  FD_SET(S(s), &set);
  FD_SET(S(s), &errors);
  timeval tv{timeout_us <= 0 ? 0 : timeout_us / 1000000, timeout_us <= 0 ? 0 : timeout_us % 1000000};
  int r = select(0, write ? nullptr : &set, write ? &set : nullptr, &errors, &tv);
  if (r < 0) return -1;
  if (r > 0) return 1;
  // A connection being made that has failed already does not always show
  // in the sets (Wine leaves a refused one out): its pending error says so.
  int err = 0;
  int len = sizeof err;
  if (write && getsockopt(S(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) == 0 && err != 0)
    return 1;
  return 0;
}

}  // namespace

int SockCreateTcp() {
  if (!Started()) return -1;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return -1;
  // Programs started later must not inherit it.
  SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  return static_cast<int>(s);
}

bool SockBind(int s, uint32_t address, uint16_t port, bool reuse) {
  // Windows lets a port in TIME_WAIT be bound again without SO_REUSEADDR,
  // which there would let two live sockets share a port.
  (void)reuse;
  sockaddr_in a = MakeAddress(address, port);
  return bind(S(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool SockConnect(int s, uint32_t address, uint16_t port) {
  sockaddr_in a = MakeAddress(address, port);
  return connect(S(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

int SockConnectStart(int s, uint32_t address, uint16_t port) {
  if (!SetBlocking(s, false)) return -1;
  sockaddr_in a = MakeAddress(address, port);
  if (connect(S(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return SetBlocking(s, true) ? 1 : -1;
  int e = WSAGetLastError();
  if (e == WSAEWOULDBLOCK || e == WSAEINPROGRESS) return 0;
  return -1;
}

bool SockConnectResult(int s) {
  int err = 0;
  int len = sizeof err;
  bool ok = getsockopt(S(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) == 0 && err == 0;
  return SetBlocking(s, true) && ok;
}

bool SockListen(int s, int backlog) { return listen(S(s), backlog) == 0; }

int SockAccept(int s) {
  SOCKET c = accept(S(s), nullptr, nullptr);
  if (c == INVALID_SOCKET) return -1;
  SetHandleInformation(reinterpret_cast<HANDLE>(c), HANDLE_FLAG_INHERIT, 0);
  // A socket accepted from a listening one left non-blocking would be too.
  int client = static_cast<int>(c);
  SetBlocking(client, true);
  return client;
}

void SockClose(int s) {
  if (s >= 0) closesocket(S(s));
}

void SockShutdown(int s) {
  if (s >= 0) shutdown(S(s), SD_BOTH);
}

long SockSend(int s, const void* data, size_t length) {
  int n = send(S(s), static_cast<const char*>(data), static_cast<int>(length), 0);
  return n == SOCKET_ERROR ? -1 : n;
}

long SockRecv(int s, void* buffer, size_t size) {
  int n = recv(S(s), static_cast<char*>(buffer), static_cast<int>(size), 0);
  return n == SOCKET_ERROR ? -1 : n;
}

long SockRecvNoWait(int s, void* buffer, size_t size) {
  // Readable means that a receive returns at once: with data, the end of
  // the stream, or an error.
  int ready = WaitFor(s, false, 0);
  if (ready < 0) return -1;
  if (ready == 0) return kNothingYet;
  return SockRecv(s, buffer, size);
}

int SockWaitReadable(int s, long timeout_us) { return WaitFor(s, false, timeout_us); }

int SockWaitWritable(int s, long timeout_us) { return WaitFor(s, true, timeout_us); }

void SockSetIoTimeout(int s, int seconds) {
  DWORD ms = static_cast<DWORD>(seconds) * 1000;
  setsockopt(S(s), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
  setsockopt(S(s), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
}

bool SockLookupIPv4(const std::string& name, uint32_t* address) {
  if (!Started()) return false;
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
  int len = sizeof a;
  if (getsockname(S(s), reinterpret_cast<sockaddr*>(&a), &len) != 0 || a.sin_family != AF_INET) return false;
  *address = ntohl(a.sin_addr.s_addr);
  return true;
}

bool SockPeerAddress(int s, uint32_t* address) {
  sockaddr_in a;
  int len = sizeof a;
  if (getpeername(S(s), reinterpret_cast<sockaddr*>(&a), &len) != 0 || a.sin_family != AF_INET) return false;
  *address = ntohl(a.sin_addr.s_addr);
  return true;
}

int SockLocalPort(int s) {
  sockaddr_in a;
  int len = sizeof a;
  if (getsockname(S(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  return ntohs(a.sin_port);
}

// Local stream sockets by file name are not offered on Windows here: the
// caller hears that nothing listens.
int SockConnectLocal(const std::string&) { return -1; }

}  // namespace kal
