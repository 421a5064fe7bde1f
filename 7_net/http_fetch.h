// Pieces the HTTP client shares between its download and its line-by-line
// fetch: a connection with its line reader that releases itself, reading a
// reply head, and the fetch itself.
#pragma once

#include <memory>
#include <string>

#include "7_net/http_address.h"
#include "7_net/http_reply.h"
#include "7_net/http_wait.h"
#include "7_net/line_reader.h"

namespace kal {

// A connection for one request: socket library started, TLS for https.
// Closing (reader, socket, socket library) happens when it goes away.
struct HttpConnection {
  int socket = -1;
  std::unique_ptr<LineReader> reader;

  HttpConnection();
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;
  // Connects (and shakes hands) within the silence limit; stop, when given,
  // is asked while it waits.
  bool Open(const WebAddress& address, const StopCheck& stop = nullptr);
};

// The status line into head->status; *used counts its bytes. False when it
// does not come whole (the connection ends, the server stays silent, the
// user stops).
bool ReceiveStatusLine(LineReader& reader, const StopCheck& stop, ReplyHead* head, size_t* used);

// The header lines up to the empty one. False when the connection ends
// before it, the whole head passes kMaxResponseHead, the server stays silent
// or the user stops: a reply cut inside its head is never taken for a whole
// one.
bool ReceiveHeaders(LineReader& reader, const StopCheck& stop, ReplyHead* head, size_t used);

// Fetches address again and saves the body line by line (CR LF after each
// line, and one empty line at the end) into the file at path. Chunked
// bodies are decoded; a Content-Length is held to. False when no
// connection, a reply other than 200 or a broken head, a body cut short, an
// over-long line, a silent server, the user's stop or a file that cannot be
// written. The file is only created once a good head has come.
bool FetchLines(const std::string& address, const std::string& path, const std::string& agent,
                const std::string& cookie, const StopCheck& stop);

}  // namespace kal
