// The download command's HTTP client: one request per attempt, redirections
// followed by starting again, the body saved block by block with the keys
// taken between blocks.
#include "net/http_download.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "console/console.h"
#include "console/speech.h"
#include "net/http_address.h"
#include "net/http_fetch.h"
#include "net/line_reader.h"
#include "net/net_messages.h"
#include "net/tcp.h"
#include "net/tls.h"
#include "platform/event_loop.h"
#include "platform/paths.h"

namespace kal {
namespace {

constexpr int kBlockSize = 4096;
constexpr int64_t kStreamLength = 999999999;
// Body waits happen in steps of at most this many milliseconds, with the
// keys taken between steps.
constexpr int kBodyWaitStepMs = 100;

std::string (*g_path_mapper)(const std::string&) = nullptr;

// The HTTP reply head: status and the headers the client acts on.
struct ReplyHead {
  int status = 0;
  bool has_location = false;
  std::string location;
  std::string content_type;
  int64_t length = 0;
};

// What one attempt leads to.
enum class Outcome { kSuccess, kFailure, kRedirect, kFallback };

// The state of one running download.
struct Transfer {
  std::string file_name;  // as the script gave it, for the report
  std::string path;       // where it is written
  std::FILE* file = nullptr;
  std::unique_ptr<char[]> buffer;  // the file's write buffer, outlives it
  bool tick = false;
  int64_t resumed = 0;
  int64_t announced = 0;
  int64_t remaining = 0;
  bool unknown_length = false;

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

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return std::string(s.substr(b, e - b));
}

// The status code: the three characters after the first blank; 0 when they
// are not a number.
int StatusCode(const std::string& line) {
  size_t blank = line.find(' ');
  if (blank == std::string::npos || line.size() < blank + 4) return 0;
  int code = 0;
  const char* first = line.data() + blank + 1;
  auto [end, ec] = std::from_chars(first, first + 3, code);
  return (ec == std::errc() && end == first + 3) ? code : 0;
}

// Takes one header line into the head. Names are matched whole, in any case.
void TakeHeader(const std::string& line, ReplyHead* head) {
  size_t colon = line.find(':');
  if (colon == std::string::npos) return;
  std::string name = Trim(std::string_view(line).substr(0, colon));
  std::string value = Trim(std::string_view(line).substr(colon + 1));
  auto is = [&](std::string_view n) { return name.size() == n.size() && StartsWithNoCase(name, n); };
  if (is("LOCATION")) {
    head->has_location = true;
    head->location = value;
  } else if (is("CONTENT-TYPE")) {
    head->content_type = value;
  } else if (is("CONTENT-LENGTH")) {
    int64_t n = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    head->length = (ec == std::errc() && end == value.data() + value.size() && n > 0) ? n : 0;
  }
}

// Reads header lines up to the empty one (or the end of the stream). False
// when the server stalls or sends more than a bounded head.
bool ReadHeaders(LineReader& reader, ReplyHead* head, size_t used) {
  std::string line;
  for (;;) {
    LineResult r = ReceiveLineResult(reader, kHttpWaitSeconds, &line);
    if (r == LineResult::kEnd) return true;
    if (r != LineResult::kLine) return false;
    if (line.empty()) return true;
    used += line.size() + 2;
    if (used > kMaxResponseHead) return false;
    TakeHeader(line, head);
  }
}

// Writes go out in large pieces rather than one system call per block.
constexpr size_t kFileBuffer = 1 << 20;

bool Buffered(Transfer& t) {
  if (!t.file) return false;
  if (!t.buffer) t.buffer = std::make_unique<char[]>(kFileBuffer);
  std::setvbuf(t.file, t.buffer.get(), _IOFBF, kFileBuffer);
  return true;
}

// Opens the target: the existing file for reading and writing (its size is
// what a resumed request asks after), or nothing when there is none.
bool OpenExisting(Transfer& t) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(t.path, ec)) return !std::filesystem::exists(t.path, ec);
  t.file = std::fopen(t.path.c_str(), "r+b");
  if (!Buffered(t)) return false;
  auto size = std::filesystem::file_size(t.path, ec);
  t.resumed = ec ? 0 : static_cast<int64_t>(size);
  return true;
}

bool CreateAnew(Transfer& t) {
  t.CloseFile();
  t.file = std::fopen(t.path.c_str(), "w+b");
  t.resumed = 0;
  return Buffered(t);
}

std::string RequestText(const WebAddress& a, const DownloadRequest& r, const Transfer& t, bool exists) {
  std::string q = "GET " + a.path + " HTTP/1.1\r\n";
  q += "User-Agent: " + r.agent + "\r\n";
  q += "Accept: */*\r\n";
  q += "Accept-Encoding: identity\r\n";
  q += "Host: " + a.host + "\r\n";
  q += "Connection: Close\r\n";
  if (exists) q += "Range: bytes=" + std::to_string(t.resumed) + "-\r\n";
  if (!r.cookie.empty()) q += "Cookie: " + r.cookie + "\r\n";
  return q + "\r\n";
}

int64_t FileSize(Transfer& t) {
  if (t.file) std::fflush(t.file);
  std::error_code ec;
  auto size = std::filesystem::file_size(t.path, ec);
  return ec ? 0 : static_cast<int64_t>(size);
}

// Takes one waiting key. True when the user asked to stop.
bool TakeKey(Transfer& t) {
  uint8_t k = ReadKey();
  if (k == 0) {
    ReadKey();  // the scan code of an extended key, which means nothing here
    return false;
  }
  if (k == 13) {
    SpeakText(ProgressReport(t.unknown_length, FileSize(t), t.announced, t.resumed, t.file_name));
  } else if (k == ' ') {
    t.tick = !t.tick;
  } else if (k == 27) {
    WriteLineAndSpeak(net_msg::AskStop());
    uint8_t answer = ReadKey();
    if (answer == 0) {
      ReadKey();
      ConsoleWrite("\r\n");
    } else {
      ConsoleWrite(std::string(1, static_cast<char>(answer)) + "\r\n");
    }
    if (UpperCaseText(std::string(1, static_cast<char>(answer))) == "S") {
      WriteLineAndSpeak(net_msg::Stopped());
      return true;
    }
  }
  return false;
}

// Takes every waiting key; true when the user asked to stop.
bool TakeKeys(Transfer& t) {
  while (KeyPressed())
    if (TakeKey(t)) return true;
  return false;
}

// Fills block with want bytes. While the server is silent the program
// waits in the event loop (which wakes when the socket has data) and takes
// the keys, so a stalled server can be stopped. Returns the count received;
// *stop is set when the user stopped or the server stayed silent too long.
int ReceiveBlock(LineReader& reader, Transfer& t, char* block, int want, bool* stop) {
  int got = 0;
  int64_t silent_since = -1;
  while (got < want) {
    int n = ReceiveBytesNoWait(reader, block + got, want - got);
    if (n == 0) break;  // the connection ended
    if (n > 0) {
      got += n;
      silent_since = -1;
      continue;
    }
    int64_t now = Loop().NowMs();
    if (silent_since < 0) silent_since = now;
    if (TakeKeys(t) || now - silent_since > kHttpWaitSeconds * 1000) {
      *stop = true;
      return got;
    }
    Loop().Wait(kBodyWaitStepMs);
  }
  return got;
}

// Lets the event loop's waits end as soon as the socket has data.
class SocketWatch {
 public:
  explicit SocketWatch(int socket) : socket_(socket) {
    if (socket_ >= 0) Loop().Watch(socket_, [] {});
  }
  ~SocketWatch() {
    if (socket_ >= 0) Loop().Unwatch(socket_);
  }

 private:
  int socket_;
};

// The body loop. False when the target could not be written.
bool ReceiveBody(LineReader& reader, Transfer& t) {
  SocketWatch watch(reader.socket);
  char block[kBlockSize];
  for (;;) {
    int want = t.unknown_length || t.remaining >= kBlockSize ? kBlockSize : static_cast<int>(t.remaining);
    if (want == 0) return true;
    bool stop = false;
    int got = ReceiveBlock(reader, t, block, want, &stop);
    // Bytes that came are kept even when the block stays short, so that a
    // later resumed download goes on from them.
    if (got > 0 && std::fwrite(block, 1, static_cast<size_t>(got), t.file) != static_cast<size_t>(got)) return false;
    if (!t.unknown_length) t.remaining -= got;
    if (got < want || stop) return true;
    if (t.tick) Click();
    if (TakeKeys(t)) return true;
  }
}

// One request to address. On kRedirect *next holds the new address.
Outcome Attempt(const std::string& address, const DownloadRequest& r, Transfer& t, std::string* next) {
  WebAddress a = ParseWebAddress(address);
  HttpConnection conn;
  // Esc while connecting or shaking hands asks as it does during the body.
  if (!conn.Open(a, [&t] { return TakeKeys(t); })) return Outcome::kFailure;
  t.resumed = 0;
  if (!OpenExisting(t)) return Outcome::kFailure;
  bool exists = t.file != nullptr;
  if (!SendText(conn.socket, RequestText(a, r, t, exists))) return Outcome::kFailure;

  std::string status_line;
  if (ReceiveLineResult(*conn.reader, kHttpWaitSeconds, &status_line) != LineResult::kLine) return Outcome::kFailure;
  ReplyHead head;
  head.status = StatusCode(status_line);
  switch (head.status) {
    case 200:
      if (!CreateAnew(t)) return Outcome::kFailure;
      break;
    case 206:
      WriteLineAndSpeak(net_msg::Resuming());
      if (!t.file && !CreateAnew(t)) return Outcome::kFailure;
      break;
    case 400:
      WriteLineAndSpeak(net_msg::Http400());
      return Outcome::kFailure;
    case 404:
      WriteLineAndSpeak(net_msg::Http404());
      return Outcome::kFailure;
    default:
      if (head.status < 300 || head.status > 399) return Outcome::kFailure;
  }
  if (!ReadHeaders(*conn.reader, &head, status_line.size())) return Outcome::kFailure;
  if (head.has_location) {
    *next = ResolveLocation(address, head.location);
    return Outcome::kRedirect;
  }
  if (head.status >= 300) return Outcome::kFailure;  // a redirection without a target

  bool resuming = head.status == 206 && t.resumed > 0;
  if (std::fseek(t.file, resuming ? static_cast<long>(t.resumed) : 0, SEEK_SET) != 0) return Outcome::kFailure;
  if (!resuming) t.resumed = 0;
  t.announced = head.length;
  t.remaining = head.length;
  t.unknown_length = false;
  if (head.length == 0) {
    if (!StartsWithNoCase(head.content_type, "AUDIO")) return Outcome::kFallback;
    t.remaining = kStreamLength;
    t.unknown_length = true;
  }
  if (!ReceiveBody(*conn.reader, t)) return Outcome::kFailure;
  if (!t.CloseFile()) return Outcome::kFailure;
  // Only a complete body counts: a connection that ends even one byte
  // early has lost data.
  return (t.unknown_length || t.remaining == 0) ? Outcome::kSuccess : Outcome::kFailure;
}

}  // namespace

void SetDownloadPathMapper(std::string (*mapper)(const std::string& name)) { g_path_mapper = mapper; }

std::string DownloadHostPath(const std::string& name) { return g_path_mapper ? g_path_mapper(name) : HostPath(name); }

bool Download(const DownloadRequest& request) {
  if (request.address.empty() || request.file.empty()) return false;
  Transfer t;
  t.file_name = request.file;
  t.path = DownloadHostPath(request.file);
  t.tick = request.tick;
  std::string address = request.address;
  for (int redirections = 0;; ++redirections) {
    std::string next;
    Outcome o = Attempt(address, request, t, &next);
    t.CloseFile();
    switch (o) {
      case Outcome::kSuccess:
        return true;
      case Outcome::kFailure:
        return false;
      case Outcome::kFallback:
        return FetchLines(address, t.path, request.agent, request.cookie);
      case Outcome::kRedirect:
        if (redirections >= kMaxRedirections) return false;
        address = next;
        break;
    }
  }
}

}  // namespace kal
