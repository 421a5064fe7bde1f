// The HTTP client's waits for the server.
#include "7_net/http_wait.h"

#include "7_net/http_download.h"
#include "7_net/network.h"
#include "7_net/tcp.h"
#include "1_platform/event_loop.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

// Waits happen in steps of at most this many milliseconds, with the keys
// taken between steps.
constexpr int kWaitStepMs = 100;

}  // namespace

int ReceiveWaiting(LineReader& reader, char* out, int max, const StopCheck& stop, WaitEnd* why, int keys_after_ms,
                   int64_t give_up_at) {
  int64_t silent_since = -1;
  EventLoop& loop = reader.net->loop;
  for (;;) {
    if (give_up_at != kNoDeadline && loop.NowMs() >= give_up_at) {
      *why = WaitEnd::kOutOfTime;
      return 0;
    }
    int n = ReceiveBytesNoWait(reader, out, max);
    if (n > 0) {
      *why = WaitEnd::kNone;
      return n;
    }
    if (n == 0) {
      *why = WaitEnd::kClosed;
      return 0;
    }
    int64_t now = loop.NowMs();
    if (silent_since < 0) silent_since = now;
    if (StopRequested(reader.net->platform) || (stop && now - silent_since >= keys_after_ms && stop())) {
      *why = WaitEnd::kStopped;
      return 0;
    }
    if (now - silent_since > kHttpWaitSeconds * 1000) {
      *why = WaitEnd::kSilent;
      return 0;
    }
    // A short wait on the socket itself, then the event loop's step. The
    // loop wakes early on data too; the socket's own wait also keeps a
    // loop whose clock is not the wall clock from calling a server silent
    // before its bytes could arrive. Readable without whole data (a TLS
    // record still arriving) still lets the clock move.
    bool readable = IsReadable(*reader.net, reader.socket);
    loop.Wait(readable ? 1 : kWaitStepMs);
  }
}

WaitEnd ReceiveLineWaiting(LineReader& reader, size_t max_length, const StopCheck& stop, std::string* line,
                           int keys_after_ms, int64_t give_up_at) {
  line->clear();
  for (;;) {
    char c;
    WaitEnd why;
    if (ReceiveWaiting(reader, &c, 1, stop, &why, keys_after_ms, give_up_at) == 0) return why;
    if (c == '\n') break;
    if (line->size() >= max_length) return WaitEnd::kTooLong;
    line->push_back(c);
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return WaitEnd::kNone;
}

SocketWatch::SocketWatch(Network& net, int socket) : socket_(socket), loop_(net.loop) {
  if (socket_ >= 0) loop_.Watch(socket_, [] {});
}

SocketWatch::~SocketWatch() {
  if (socket_ >= 0) loop_.Unwatch(socket_);
}

}  // namespace kal
