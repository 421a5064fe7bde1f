// Pieces the HTTP client shares between its download and its line-by-line
// fetch: a connection with its line reader that releases itself, and the
// fetch itself.
#pragma once

#include <memory>
#include <string>

#include "net/http_address.h"
#include "net/line_reader.h"

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

// Fetches address again and saves the body line by line (CR LF after each
// line, and one empty line at the end) into the file at path. False when no
// connection, no reply, an over-long line from the server or a file that
// cannot be written.
bool FetchLines(const std::string& address, const std::string& path, const std::string& agent,
                const std::string& cookie);

}  // namespace kal
