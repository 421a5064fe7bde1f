// The download command's HTTP client: one request per attempt, redirections
// followed by starting again, the body saved block by block with the keys
// taken between blocks.
#include "7_net/http_download.h"
#include "7_net/network.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "7_net/http_address.h"
#include "7_net/http_chunked.h"
#include "7_net/http_fetch.h"
#include "7_net/http_reply.h"
#include "7_net/http_wait.h"
#include "7_net/line_reader.h"
#include "7_net/net_messages.h"
#include "7_net/net_user.h"
#include "7_net/tcp.h"
#include "7_net/tls.h"
#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

constexpr int kBlockSize = 4096;
constexpr int64_t kStreamLength = 999999999;

// What one attempt leads to.
enum class Outcome { kSuccess, kFailure, kRedirect, kFallback };

// The state of one running download.
struct Transfer {
  explicit Transfer(Network& network) : net(network) {}

  Network& net;
  std::string file_name;  // as the script gave it, for the report
  std::string path;       // where it is written
  std::FILE* file = nullptr;
  std::unique_ptr<char[]> buffer;  // the file's write buffer, outlives it
  std::unique_ptr<char[]> receive;  // large reads of the body
  bool tick = false;
  bool resume = true;  // a file already there is continued
  int64_t deadline_ms = kNoDeadline;
  bool existed = false;  // a file was there when the request was made
  bool start_anew = false;  // the reply replaces the file rather than continuing it
  int64_t resumed = 0;
  int64_t announced = 0;
  int64_t remaining = 0;
  bool unknown_length = false;  // for the spoken report
  bool stream = false;  // audio without a length: stopping it is success
  bool chunked = false;
  ChunkedDecoder decoder;
  DownloadReport report;

  ~Transfer() { CloseFile(); }
  // Closes the file; false when buffered bytes could not be written.
  bool CloseFile() {
    if (!file) return true;
    bool ok = std::fclose(file) == 0;
    file = nullptr;
    return ok;
  }
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (toupper(static_cast<unsigned char>(text[i])) != toupper(static_cast<unsigned char>(prefix[i]))) return false;
  return true;
}

// Writes go out in large pieces rather than one system call per block.
constexpr size_t kFileBuffer = 1 << 20;

bool Buffered(Transfer& t) {
  if (!t.file) return false;
  if (!t.buffer) t.buffer = std::make_unique<char[]>(kFileBuffer);
  std::setvbuf(t.file, t.buffer.get(), _IOFBF, kFileBuffer);
  return true;
}

// Looks at the target before the request: its size is what a resumed
// request asks after. False when something other than a file is there.
bool LookAtTarget(Transfer& t) {
  std::error_code ec;
  bool file = std::filesystem::is_regular_file(HostFsPath(t.path), ec);
  t.existed = file && t.resume;
  t.resumed = 0;
  if (!file) return !std::filesystem::exists(HostFsPath(t.path), ec);
  if (!t.existed) return true;
  auto size = std::filesystem::file_size(HostFsPath(t.path), ec);
  t.resumed = ec ? 0 : static_cast<int64_t>(size);
  return true;
}

// Opens the target when the first body byte is there to be written, so
// that a reply that fails before its body (an error, a broken or cut head,
// a stop) leaves the old bytes as they were. A reply that replaces the file
// empties it only now.
bool OpenTarget(Transfer& t) {
  if (t.file) return true;
  if (t.start_anew) {
    t.file = OpenHostFile(t.path, "w+b");
    t.resumed = 0;
    return Buffered(t);
  }
  t.file = OpenHostFile(t.path, "r+b");
  if (!Buffered(t)) return false;
  return std::fseek(t.file, static_cast<long>(t.resumed), SEEK_SET) == 0;
}

std::string RequestText(const WebAddress& a, const DownloadRequest& r, const std::string& cookie,
                        const Transfer& t) {
  std::string q = "GET " + a.path + " HTTP/1.1\r\n";
  q += "User-Agent: " + r.agent + "\r\n";
  q += "Accept: */*\r\n";
  q += "Accept-Encoding: identity\r\n";
  q += "Host: " + HostHeaderValue(a) + "\r\n";
  q += "Connection: Close\r\n";
  if (t.existed) q += "Range: bytes=" + std::to_string(t.resumed) + "-\r\n";
  if (!cookie.empty()) q += "Cookie: " + cookie + "\r\n";
  return q + "\r\n";
}

int64_t FileSize(Transfer& t) {
  if (t.file) std::fflush(t.file);
  std::error_code ec;
  auto size = std::filesystem::file_size(HostFsPath(t.path), ec);
  return ec ? 0 : static_cast<int64_t>(size);
}

// Hands the keys typed since the last look to the user, who answers them;
// true when the person asked to stop. The progress is measured only when a
// report is asked for (it flushes the file).
bool TakeKeys(Transfer& t) {
  auto progress = [&t] {
    return DownloadProgress{t.unknown_length, FileSize(t), t.announced, t.resumed, t.file_name};
  };
  return UserOf(t.net).TakeDownloadKeys(progress, &t.tick);
}

// True once the download's deadline has passed (and says so in the report).
bool OutOfTime(Transfer& t) {
  if (t.deadline_ms == kNoDeadline || t.net.loop.NowMs() < t.deadline_ms) return t.report.out_of_time;
  t.report.out_of_time = true;
  return true;
}

// Asked between waits and blocks: the deadline, then the person's keys.
bool Stopping(Transfer& t) { return OutOfTime(t) || TakeKeys(t); }

// Notes what ended a wait that the deadline may have ended.
void NoteWaitEnd(Transfer& t, WaitEnd why) {
  if (why == WaitEnd::kOutOfTime) t.report.out_of_time = true;
}

// Fills block with want bytes, waiting as every wait of the client does.
// Returns the count received; *why tells what ended a short block.
int ReceiveBlock(LineReader& reader, const StopCheck& stop, int64_t deadline_ms, char* block, int want,
                 WaitEnd* why) {
  int got = 0;
  *why = WaitEnd::kNone;
  while (got < want) {
    int n = ReceiveWaiting(reader, block + got, want - got, stop, why, 0, deadline_ms);
    if (n == 0) break;
    got += n;
  }
  return got;
}

// Writes what came (decoded first when chunked). False when the target
// could not be written or the chunked framing is broken.
bool Store(Transfer& t, const char* bytes, int count) {
  std::string decoded;
  std::string_view data(bytes, static_cast<size_t>(count));
  if (t.chunked) {
    if (!t.decoder.Feed(data, &decoded)) return false;
    data = decoded;
  }
  if (!t.unknown_length) t.remaining -= count;
  if (data.empty()) return true;
  bool written = OpenTarget(t) && std::fwrite(data.data(), 1, data.size(), t.file) == data.size();
  if (!written) t.report.write_failed = true;
  return written;
}

bool BodyComplete(const Transfer& t) {
  return t.chunked ? t.decoder.Done() : (!t.unknown_length && t.remaining == 0);
}

// While the body streams in without ticks, the keys are looked at on a
// budget rather than after every read: after kKeysEveryMs, or after
// kKeysEveryBytes bytes for a clock that does not move while bytes flow.
constexpr int kLargeRead = 1 << 20;
constexpr int64_t kKeysEveryMs = 10;
constexpr int64_t kKeysEveryBytes = 8 << 20;

struct KeyBudget {
  EventLoop& loop;      // whose clock paces the looks
  int64_t next_ms = 0;  // the first read looks at once
  int64_t bytes = 0;
  bool Due(int received) {
    bytes += received;
    int64_t now = loop.NowMs();
    if (now < next_ms && bytes < kKeysEveryBytes) return false;
    next_ms = now + kKeysEveryMs;
    bytes = 0;
    return true;
  }
};

// The body loop. False when the target could not be written or the body is
// broken. Bytes that came are kept even when the block stays short, so that
// a later resumed download goes on from them. With ticks on, the body comes
// in blocks of kBlockSize, a click and a look at the keys after each; a
// chunked body is taken as it comes, since its end is in the framing, not
// at the connection's end. Otherwise the body is read in large pieces
// straight into the receive buffer, whatever has come up to kLargeRead.
bool ReceiveBody(LineReader& reader, Transfer& t, const StopCheck& stop) {
  char block[kBlockSize];
  KeyBudget keys{t.net.loop};
  for (;;) {
    if (BodyComplete(t)) return true;
    WaitEnd why = WaitEnd::kNone;
    if (!t.tick && !t.chunked) {
      if (!t.receive) t.receive = std::make_unique<char[]>(kLargeRead);
      int want = t.unknown_length || t.remaining >= kLargeRead ? kLargeRead : static_cast<int>(t.remaining);
      int got = ReceiveWaiting(reader, t.receive.get(), want, stop, &why, 0, t.deadline_ms);
      NoteWaitEnd(t, why);
      if (!Store(t, t.receive.get(), got)) return false;
      if (why != WaitEnd::kNone) return true;
      if (keys.Due(got) && Stopping(t)) return true;
      continue;
    }
    bool whole_blocks = !t.chunked;
    int want = !whole_blocks || t.unknown_length || t.remaining >= kBlockSize ? kBlockSize
                                                                                : static_cast<int>(t.remaining);
    int got = whole_blocks ? ReceiveBlock(reader, stop, t.deadline_ms, block, want, &why)
                           : ReceiveWaiting(reader, block, want, stop, &why, 0, t.deadline_ms);
    NoteWaitEnd(t, why);
    if (!Store(t, block, got)) return false;
    if (why != WaitEnd::kNone) return true;
    if (t.tick) UserOf(t.net).Click();
    if (Stopping(t)) return true;
  }
}

// Where a redirection leads: false when its target may not be followed (a
// control byte in it, or a scheme other than http and https).
bool RedirectTarget(const std::string& address, const ReplyHead& head, std::string* next) {
  if (!SafeLocation(head.location)) return false;
  *next = ResolveLocation(address, head.location);
  return FollowableScheme(*next);
}

// Decides how the body is taken, from the head of a 200 or 206 reply.
// False when the reply cannot be used as it is.
bool PrepareBody(const ReplyHead& head, Transfer& t, Outcome* fallback) {
  if (head.broken) return false;
  if (head.status == 206) {
    // The part must start where the file ends, or it would be written in
    // the wrong place.
    if (head.has_range && head.range_start != t.resumed) return false;
    UserOf(t.net).Tell(net_msg::Resuming());
  }
  t.start_anew = head.status == 200 || !t.existed;
  if (t.start_anew) t.resumed = 0;
  t.announced = t.remaining = head.chunked ? 0 : head.length;
  t.chunked = head.chunked;
  t.decoder = ChunkedDecoder();
  t.unknown_length = t.chunked;
  if (t.chunked || head.length > 0) {
    t.stream = t.chunked && StartsWithNoCase(head.content_type, "AUDIO");
    return true;
  }
  if (!StartsWithNoCase(head.content_type, "AUDIO")) {
    *fallback = Outcome::kFallback;
    return true;
  }
  t.remaining = kStreamLength;
  t.unknown_length = t.stream = true;
  return true;
}

// The status line (headers false) or the header lines of a reply, with
// what ended a failed read noted in the report.
bool ReceiveHead(LineReader& reader, const StopCheck& stop, ReplyHead* head, HeadBudget* budget, bool headers,
                 Transfer& t) {
  bool ok = headers ? ReceiveHeaders(reader, stop, head, budget) : ReceiveStatusLine(reader, stop, head, budget);
  if (ok) return true;
  if (budget->exceeded) t.report.head_refused = true;
  OutOfTime(t);
  return false;
}

// One request to address. On kRedirect *next holds the new address.
Outcome Attempt(const std::string& address, const DownloadRequest& r, const std::string& cookie, Transfer& t,
                std::string* next) {
  // Nothing that could end a line of the request head reaches it.
  if (!SafeLocation(address)) return Outcome::kFailure;
  WebAddress a = ParseWebAddress(address);
  if (!LookAtTarget(t)) {
    t.report.write_failed = true;
    return Outcome::kFailure;
  }
  HttpConnection conn(t.net);
  t.report.connected = false;
  t.report.status = 0;
  // Esc while connecting or shaking hands asks as it does during the body.
  StopCheck stop = [&t] { return Stopping(t); };
  TlsRefusal refusal = TlsRefusal::kNone;
  if (!conn.Open(a, stop, &refusal)) {
    t.report.tls_refused = refusal != TlsRefusal::kNone;
    return Outcome::kFailure;
  }
  t.report.connected = true;
  SocketWatch watch(t.net, conn.socket);
  if (!SendText(t.net, conn.socket, RequestText(a, r, cookie, t))) return Outcome::kFailure;

  ReplyHead head;
  HeadBudget budget = HeadBudgetFrom(t.net, t.deadline_ms);
  if (!ReceiveHead(*conn.reader, stop, &head, &budget, false, t)) return Outcome::kFailure;
  t.report.status = head.status;
  if (head.status == 400) UserOf(t.net).Tell(net_msg::Http400());
  if (head.status == 404) UserOf(t.net).Tell(net_msg::Http404());
  bool usable = head.status == 200 || head.status == 206;
  if (!usable && (head.status < 300 || head.status > 399)) return Outcome::kFailure;
  if (!ReceiveHead(*conn.reader, stop, &head, &budget, true, t)) return Outcome::kFailure;
  if (head.has_location) return RedirectTarget(address, head, next) ? Outcome::kRedirect : Outcome::kFailure;
  if (!usable) return Outcome::kFailure;  // a redirection without a target

  Outcome fallback = Outcome::kSuccess;
  if (!PrepareBody(head, t, &fallback)) return Outcome::kFailure;
  if (fallback == Outcome::kFallback) return fallback;
  if (!ReceiveBody(*conn.reader, t, stop) || t.report.out_of_time) return Outcome::kFailure;
  bool complete = t.stream || BodyComplete(t);
  // A complete reply with an empty body still replaces the file.
  if ((complete && !OpenTarget(t)) || !t.CloseFile()) {
    t.report.write_failed = true;
    return Outcome::kFailure;
  }
  // Only a complete body counts: a connection that ends even one byte
  // early has lost data.
  return complete ? Outcome::kSuccess : Outcome::kFailure;
}

// The requests of one download, redirections followed.
bool Run(const DownloadRequest& request, Transfer& t) {
  t.file_name = request.file;
  t.path = DownloadHostPath(t.net, request.file);
  t.tick = request.tick;
  t.resume = request.resume;
  t.deadline_ms = request.deadline_ms;
  std::string address = request.address;
  // The cookie belongs to the address the script gave: a redirection to
  // another scheme, host or port loses it for the rest of the way.
  std::string cookie = request.cookie;
  for (int redirections = 0;; ++redirections) {
    std::string next;
    if (OutOfTime(t)) return false;
    Outcome o = Attempt(address, request, cookie, t, &next);
    t.CloseFile();
    switch (o) {
      case Outcome::kSuccess:
        return true;
      case Outcome::kFailure:
        return false;
      case Outcome::kFallback:
        return FetchLines(t.net, address, t.path, request.agent, cookie, [&t] { return Stopping(t); }, t.deadline_ms) &&
               !OutOfTime(t);
      case Outcome::kRedirect:
        if (redirections >= kMaxRedirections) return false;
        if (!SameOrigin(address, next)) cookie.clear();
        address = next;
        break;
    }
  }
}

}  // namespace

void SetDownloadPathMapper(Network& net, std::string (*mapper)(const std::string& name)) { net.path_mapper = mapper; }

std::string DownloadHostPath(const Network& net, const std::string& name) {
  auto mapper = net.path_mapper;
  return mapper ? mapper(name) : HostPath(name);
}

bool Download(Network& net, const DownloadRequest& request) {
  if (request.address.empty() || request.file.empty()) return false;
  Transfer t(net);
  bool ok = Run(request, t);
  if (request.report) *request.report = t.report;
  return ok;
}

}  // namespace kal
