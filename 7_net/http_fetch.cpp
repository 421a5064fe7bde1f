// The line-by-line fetch for pages that come without a length, the reply
// head both fetches read, and the connection they use.
#include "7_net/http_fetch.h"

#include <cstdio>

#include "1_platform/event_loop.h"
#include "7_net/network.h"
#include "1_platform/host_file.h"
#include "7_net/http_chunked.h"
#include "7_net/http_download.h"
#include "7_net/net_messages.h"
#include "7_net/net_user.h"
#include "7_net/tcp.h"

namespace kal {
namespace {

constexpr int kPiece = 4096;

// The body of the fallback reply as it comes: decoded when chunked, held to
// its length when it has one, else up to the end of the connection.
struct BodySource {
  LineReader& reader;
  const StopCheck& stop;
  const ReplyHead& head;
  int64_t deadline_ms;
  ChunkedDecoder decoder;
  int64_t left = 0;

  // Appends the next bytes to *out. 1: bytes (perhaps none, for framing
  // alone); 0: the body ended where it should; -1: it did not.
  int Next(std::string* out) {
    if (head.chunked && decoder.Done()) return 0;
    if (head.has_length && !head.chunked && left == 0) return 0;
    char piece[kPiece];
    int want = kPiece;
    if (head.has_length && !head.chunked && left < want) want = static_cast<int>(left);
    WaitEnd why;
    int n = ReceiveWaiting(reader, piece, want, stop, &why, 0, deadline_ms);
    if (n == 0) return (why == WaitEnd::kClosed && !head.chunked && !head.has_length) ? 0 : -1;
    left -= n;
    if (!head.chunked) {
      out->append(piece, static_cast<size_t>(n));
      return 1;
    }
    return decoder.Feed(std::string_view(piece, static_cast<size_t>(n)), out) ? 1 : -1;
  }
};

// Writes the body's lines, each ended by CR LF; a line longer than the line
// reader's limit is taken for a hostile server.
class LineWriter {
 public:
  explicit LineWriter(std::FILE* f) : f_(f) {}

  bool Take(std::string_view bytes) {
    for (;;) {
      size_t lf = bytes.find('\n');
      std::string_view part = bytes.substr(0, lf);
      if (pending_.size() + part.size() > kMaxReceivedLine) return false;
      pending_.append(part);
      if (lf == std::string_view::npos) return true;
      if (!Flush()) return false;
      bytes.remove_prefix(lf + 1);
    }
  }

  // The last, unterminated line, then the empty line every such file ends with.
  bool Finish() { return (pending_.empty() || Flush()) && Flush(); }

 private:
  bool Flush() {
    if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
    pending_ += "\r\n";
    bool ok = std::fwrite(pending_.data(), 1, pending_.size(), f_) == pending_.size();
    pending_.clear();
    return ok;
  }

  std::FILE* f_;
  std::string pending_;
};

bool SaveLines(BodySource& body, std::FILE* f) {
  LineWriter writer(f);
  std::string bytes;
  for (;;) {
    bytes.clear();
    int r = body.Next(&bytes);
    if (r < 0) return false;  // what came is kept
    if (!writer.Take(bytes)) return false;
    if (r == 0) return writer.Finish();
  }
}

// One line of a reply head, charged to the budget with its CR LF. False
// when it did not come whole; a passed limit is marked in the budget and
// told. The line may hold bytes - 1 bytes, its CR included, and is then
// checked whole: so a head of exactly kMaxResponseHead bytes passes.
bool TakeHeadLine(LineReader& reader, const StopCheck& stop, HeadBudget* budget, std::string* line) {
  constexpr size_t kLineEnd = 2;
  WaitEnd why = WaitEnd::kTooLong;
  if (budget->lines > 0 && budget->bytes >= kLineEnd)
    why = ReceiveLineWaiting(reader, budget->bytes - 1, stop, line, kHeadKeyGraceMs, budget->end_ms);
  if (why == WaitEnd::kNone && line->size() + kLineEnd > budget->bytes) why = WaitEnd::kTooLong;
  if (why == WaitEnd::kTooLong) {
    budget->exceeded = true;
    UserOf(*reader.net).Tell(net_msg::ReplyHeadTooLarge());
  }
  if (why != WaitEnd::kNone) return false;
  budget->lines -= 1;
  budget->bytes -= line->size() + kLineEnd;
  return true;
}

}  // namespace

HttpConnection::HttpConnection(Network& network) : net(network) { NetStartup(); }

HttpConnection::~HttpConnection() {
  FreeLineReader(reader);
  CloseTcp(net, socket);
  NetCleanup();
}

bool HttpConnection::Open(const WebAddress& a, const StopCheck& stop, TlsRefusal* refusal) {
  if (refusal) *refusal = TlsRefusal::kNone;
  socket = a.secure ? ConnectTls(net, a.host, a.port, stop, refusal) : ConnectTcp(net, a.host, a.port, stop);
  if (socket < 0) return false;
  reader = NewLineReader(net, socket);
  return true;
}

HeadBudget HeadBudgetFrom(Network& net, int64_t deadline_ms) {
  HeadBudget budget;
  budget.end_ms = net.loop.NowMs() + int64_t{kMaxResponseHeadSeconds} * 1000;
  if (deadline_ms != kNoDeadline && deadline_ms < budget.end_ms) budget.end_ms = deadline_ms;
  return budget;
}

bool ReceiveStatusLine(LineReader& reader, const StopCheck& stop, ReplyHead* head, HeadBudget* budget) {
  std::string line;
  if (!TakeHeadLine(reader, stop, budget, &line)) return false;
  head->status = StatusCode(line);
  return true;
}

bool ReceiveHeaders(LineReader& reader, const StopCheck& stop, ReplyHead* head, HeadBudget* budget) {
  std::string line;
  for (;;) {
    if (!TakeHeadLine(reader, stop, budget, &line)) return false;
    if (line.empty()) return true;
    TakeHeader(line, head);
  }
}

bool FetchLines(Network& net, const std::string& address, const std::string& path, const std::string& agent,
                const std::string& cookie, const StopCheck& stop, int64_t deadline_ms) {
  WebAddress a = ParseWebAddress(address);
  HttpConnection conn(net);
  if (!conn.Open(a, stop)) return false;
  SocketWatch watch(net, conn.socket);
  std::string q = "GET " + a.path + " HTTP/1.1\r\n";
  q += "Host: " + HostHeaderValue(a) + "\r\n";
  q += "User-Agent: " + agent + "\r\n";
  q += "Connection: close\r\n";
  q += "Accept-Language: pt-br\r\n";
  q += "UA-CPU: x86\r\n";
  if (!cookie.empty()) q += "Cookie: " + cookie + "\r\n";
  q += "\r\n";
  if (!SendText(net, conn.socket, q)) return false;

  ReplyHead head;
  HeadBudget budget = HeadBudgetFrom(net, deadline_ms);
  if (!ReceiveStatusLine(*conn.reader, stop, &head, &budget)) return false;
  if (!ReceiveHeaders(*conn.reader, stop, &head, &budget)) return false;
  // An error page, a redirection or a head this client cannot honour is not
  // the page asked for.
  if (head.status != 200 || head.broken) return false;

  std::FILE* f = OpenHostFile(path, "wb");
  if (!f) return false;
  BodySource body{*conn.reader, stop, head, deadline_ms, {}, head.length};
  bool ok = SaveLines(body, f);
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

}  // namespace kal
