// TCP connections over the socket seam, with the readiness timeout that the
// receive paths wait on.
#include "7_net/tcp.h"
#include "7_net/network.h"

#include <charconv>

#include "2_config/config.h"
#include "7_net/net_user.h"
#include "7_net/tls.h"
#include "1_platform/socket.h"
#include "7_net/net_wait.h"

namespace kal {
namespace {

constexpr long kDefaultReadinessUs = 20000;
constexpr size_t kMaxHostText = 128;
constexpr int kListenBacklog = 3;
// A blocking send gives up after this much silence from the peer (receives
// never block: they wait through WaitSocket).
constexpr int kSocketIoTimeoutSeconds = 60;

// TIMEOUT_REDE as microseconds: the default when absent, empty or not an
// integer.
long TimeoutFromSetting(const Network& net) {
  std::string text = net.read_timeout_setting ? net.read_timeout_setting() : ReadConfig(net.config, cfg::kTimeoutRede);
  size_t b = text.find_first_not_of(" \t");
  size_t e = text.find_last_not_of(" \t");
  if (b == std::string::npos) return kDefaultReadinessUs;
  const char* first = text.data() + b;
  const char* last = text.data() + e + 1;
  if (*first == '+') ++first;
  long value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last) return kDefaultReadinessUs;
  return value;
}

}  // namespace

bool NetStartup() { return true; }
void NetCleanup() {}

bool IsDottedAddress(std::string_view text) {
  if (text.size() > 15 || text.empty() || text[0] == '.') return false;
  int dots = 0, digits = 0, value = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.') {
      ++dots;
      if (i + 1 >= text.size() || text[i + 1] < '0' || text[i + 1] > '9') return false;
      digits = 0;
      value = 0;
      continue;
    }
    if (c < '0' || c > '9') return false;
    ++digits;
    value = value * 10 + (c - '0');
    if (digits >= 4 || value >= 256) return false;
  }
  return dots >= 3;
}

std::string DottedAddress(uint32_t a) {
  return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." +
         std::to_string((a >> 8) & 255) + "." + std::to_string(a & 255);
}

uint32_t ResolveHost(std::string_view host) {
  if (host.empty() || host.size() > kMaxHostText) return 0;
  if (IsDottedAddress(host)) {
    uint32_t a = 0;
    int shift = 24;
    size_t pos = 0;
    while (pos <= host.size() && shift >= 0) {
      size_t dot = host.find('.', pos);
      if (dot == std::string_view::npos) dot = host.size();
      int v = 0;
      std::from_chars(host.data() + pos, host.data() + dot, v);
      a |= static_cast<uint32_t>(v) << shift;
      shift -= 8;
      pos = dot + 1;
    }
    // More than three dots (1.2.3.4.5 passes the dotted test) is not an
    // address the stack knows; let the look-up refuse it.
    if (shift >= 0 || pos <= host.size()) {
      uint32_t looked = 0;
      return SockLookupIPv4(std::string(host), &looked) ? looked : 0;
    }
    return a;
  }
  uint32_t a = 0;
  return SockLookupIPv4(std::string(host), &a) ? a : 0;
}

namespace {

// Connects without blocking the program: the connect is started, then
// waited for in slices until the silence limit, with stop asked between.
bool ConnectWithin(Network& net, int s, uint32_t address, uint16_t port, const StopCheck& stop) {
  int started = SockConnectStart(s, address, port);
  if (started != 0) return started > 0;
  WaitResult w = WaitSocket(net, s, SocketEvent::kWritable, DeadlineIn(net, SilenceLimitMs(net)), stop);
  return SockConnectResult(s) && w == WaitResult::kReady;
}

}  // namespace

int ConnectTcp(Network& net, std::string_view host, uint16_t port, const StopCheck& stop) {
  int s = SockCreateTcp();
  if (s < 0) return -1;
  uint32_t address = 0;
  if (!SockBind(s, 0, 0, false) || (address = ResolveHost(host)) == 0 || !ConnectWithin(net, s, address, port, stop)) {
    SockClose(s);
    return -1;
  }
  SockSetIoTimeout(s, kSocketIoTimeoutSeconds);
  net.readiness_us = TimeoutFromSetting(net);
  return s;
}

int ConnectTls(Network& net, std::string_view host, uint16_t port, const StopCheck& stop, TlsRefusal* refusal) {
  if (refusal) *refusal = TlsRefusal::kNone;
  int s = ConnectTcp(net, host, port, stop);
  if (s < 0) return -1;
  if (!TlsConnect(net, s, host, stop)) {
    if (refusal) *refusal = LastTlsRefusal(net);
    SockClose(s);
    TlsEnd(net);
    return -1;
  }
  return s;
}

int ListenTcp(uint16_t port) {
  int s = SockCreateTcp();
  if (s < 0) return -1;
  if (!SockBind(s, 0, port, true) || !SockListen(s, kListenBacklog)) {
    SockClose(s);
    return -1;
  }
  return s;
}

int AcceptTcp(Network& net, int listener, const StopCheck& stop) {
  if (WaitSocket(net, listener, SocketEvent::kReadable, kNoDeadline, stop) != WaitResult::kReady) return -1;
  int s = SockAccept(listener);
  if (s >= 0) SockSetIoTimeout(s, kSocketIoTimeoutSeconds);
  return s;
}

void CloseTcp(Network& net, int socket) {
  if (socket < 0) return;
  if (TlsCarries(net, socket)) TlsEnd(net);
  SockClose(socket);
}

bool IsReadable(Network& net, int socket) {
  if (socket < 0) return false;
  if (TlsCarries(net, socket) && TlsPending(net)) return true;
  bool ready = SockWaitReadable(socket, net.readiness_us) != 0;  // an error reads at once too
  UserOf(net).TakeInput();  // keys typed meanwhile reach the queue
  return ready;
}

bool SendText(Network& net, int socket, std::string_view text) {
  if (text.empty()) return false;
  if (TlsCarries(net, socket)) return TlsSend(net, text.data(), static_cast<int>(text.size())) > 0;
  return SockSend(socket, text.data(), text.size()) > 0;
}

bool SendLine(Network& net, int socket, std::string_view text) {
  std::string line(text);
  line += "\r\n";
  return SendText(net, socket, line);
}

long ReceiveNoWait(Network& net, int socket, char* buffer, int size) {
  if (TlsCarries(net, socket)) {
    int n = TlsReceiveNoWait(net, buffer, size);
    return n < 0 ? kNothingYet : n;
  }
  long n = SockRecvNoWait(socket, buffer, static_cast<size_t>(size));
  return n == kNothingYet ? n : (n > 0 ? n : 0);
}

std::string LocalAddressText(int socket) {
  uint32_t a = 0;
  return DottedAddress(SockLocalAddress(socket, &a) ? a : 0);
}

std::string PeerAddressText(int socket) {
  uint32_t a = 0;
  return DottedAddress(SockPeerAddress(socket, &a) ? a : 0);
}

long ReadinessTimeoutUs(const Network& net) { return net.readiness_us; }

void SetNetTimeoutSetting(Network& net, std::function<std::string()> read_setting) {
  net.read_timeout_setting = std::move(read_setting);
}

void ResetNetForTest(Network& net) {
  TlsEnd(net);
  net.readiness_us = 0;
}

}  // namespace kal
