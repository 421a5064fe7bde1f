// The line-by-line fetch for pages that come without a length, and the
// connection both fetches use.
#include "net/http_fetch.h"

#include <cstdio>

#include "net/http_download.h"
#include "net/tcp.h"

namespace kal {

HttpConnection::HttpConnection() { NetStartup(); }

HttpConnection::~HttpConnection() {
  FreeLineReader(reader);
  CloseTcp(socket);
  NetCleanup();
}

bool HttpConnection::Open(const WebAddress& a, const StopCheck& stop) {
  socket = a.secure ? ConnectTls(a.host, a.port, stop) : ConnectTcp(a.host, a.port, stop);
  if (socket < 0) return false;
  reader = NewLineReader(socket);
  return true;
}

bool FetchLines(const std::string& address, const std::string& path, const std::string& agent,
                const std::string& cookie) {
  WebAddress a = ParseWebAddress(address);
  HttpConnection conn;
  if (!conn.Open(a)) return false;
  std::string q = "GET " + a.path + " HTTP/1.1\r\n";
  q += "Host: " + a.host + "\r\n";
  q += "User-Agent: " + agent + "\r\n";
  q += "Connection: close\r\n";
  q += "Accept-Language: pt-br\r\n";
  q += "UA-CPU: x86\r\n";
  if (!cookie.empty()) q += "Cookie: " + cookie + "\r\n";
  q += "\r\n";
  if (!SendText(conn.socket, q)) return false;

  // The status line and the headers are passed over.
  std::string line;
  size_t head = 0;
  for (;;) {
    LineResult r = ReceiveLineResult(*conn.reader, kHttpWaitSeconds, &line);
    if (r == LineResult::kEnd) break;
    if (r != LineResult::kLine) return false;
    if (line.empty()) break;
    head += line.size() + 2;
    if (head > kMaxResponseHead) return false;
  }

  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = true;
  for (;;) {
    LineResult r = ReceiveLineResult(*conn.reader, kHttpWaitSeconds, &line);
    if (r == LineResult::kEnd) {
      line.clear();  // the last, empty, value is written once more
    } else if (r != LineResult::kLine) {
      ok = false;  // a stalled server or a line without end: what came is kept
      break;
    }
    line += "\r\n";
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size()) {
      ok = false;
      break;
    }
    if (r == LineResult::kEnd) break;
  }
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

}  // namespace kal
