// Pieces the HTTP client shares between its download and its line-by-line
// fetch: a connection with its line reader that releases itself, reading a
// reply head, and the fetch itself.
#pragma once

#include <memory>
#include <string>

#include "7_net/http_address.h"
#include "7_net/http_download.h"
#include "7_net/http_reply.h"
#include "7_net/http_wait.h"
#include "7_net/line_reader.h"
#include "7_net/tls.h"

namespace kal {

// A connection for one request on the network given: socket library
// started, TLS for https. Closing (reader, socket, socket library) happens
// when it goes away.
struct HttpConnection {
  Network& net;
  int socket = -1;
  std::unique_ptr<LineReader> reader;

  explicit HttpConnection(Network& network);
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;
  // Connects (and shakes hands) within the silence limit; stop, when given,
  // is asked while it waits.
  // *refusal (when given) says why TLS refused, kNone otherwise.
  bool Open(const WebAddress& address, const StopCheck& stop = nullptr, TlsRefusal* refusal = nullptr);
};

// What one reply head may take: a hostile server can send header lines
// without end, or one byte at a time. Status line and headers together
// hold at most kMaxResponseHead bytes (line ends counted) in at most
// kMaxResponseHeadLines lines, and have come whole by end_ms.
struct HeadBudget {
  size_t bytes = kMaxResponseHead;
  int lines = kMaxResponseHeadLines;
  int64_t end_ms = kNoDeadline;
  bool exceeded = false;  // the size or the line count was passed
};

// The budget of a head awaited from now: kMaxResponseHeadSeconds, or less
// when the whole transfer must end by deadline_ms (kNoDeadline: none).
HeadBudget HeadBudgetFrom(Network& net, int64_t deadline_ms);

// The status line into head->status. False when it does not come whole (the
// connection ends, the server stays silent, the time is up, the budget is
// passed, the user stops).
bool ReceiveStatusLine(LineReader& reader, const StopCheck& stop, ReplyHead* head, HeadBudget* budget);

// The header lines up to the empty one. False as for the status line: a
// reply cut inside its head is never taken for a whole one. A head that
// passes its size or line count is told to the user (NetUser).
bool ReceiveHeaders(LineReader& reader, const StopCheck& stop, ReplyHead* head, HeadBudget* budget);

// Fetches address again and saves the body line by line (CR LF after each
// line, and one empty line at the end) into the file at path. Chunked
// bodies are decoded; a Content-Length is held to. False when no
// connection, a reply other than 200 or a broken head, a body cut short, an
// over-long line, a silent server, the user's stop, the time up (deadline_ms,
// a time on the network's loop; kNoDeadline: none) or a file that cannot be
// written. The file is only created once a good head has come.
bool FetchLines(Network& net, const std::string& address, const std::string& path, const std::string& agent,
                const std::string& cookie, const StopCheck& stop, int64_t deadline_ms = kNoDeadline);

}  // namespace kal
