// The line reader: buffered receiving for connection channels and the HTTP
// client.
#include "net/line_reader.h"

#include <cstring>

#include "console/console.h"
#include "net/tcp.h"
#include "net/tls.h"
#include "platform/socket.h"

namespace kal {
namespace {

// Refills an exhausted buffer with one receive; false at the end of the
// stream or on an error.
bool Refill(LineReader& r) {
  if (r.read_pos < r.fill) return true;
  r.read_pos = 0;
  long n = ReceiveSome(r.socket, r.buffer.data(), kLineReaderBufferSize);
  r.fill = n > 0 ? static_cast<int>(n) : 0;
  return n > 0;
}

}  // namespace

std::unique_ptr<LineReader> NewLineReader(int socket) {
  auto r = std::make_unique<LineReader>();
  r->socket = socket;
  return r;
}

bool HasData(LineReader* reader) {
  if (!reader) return false;
  return reader->read_pos < reader->fill || IsReadable(reader->socket);
}

bool ReceiveByte(LineReader& reader, uint8_t* byte) {
  if (!Refill(reader)) return false;
  *byte = static_cast<uint8_t>(reader.buffer[reader.read_pos++]);
  return true;
}

int ReceiveBytes(LineReader& reader, char* out, int max) {
  if (max <= 0 || !Refill(reader)) return 0;
  int n = reader.fill - reader.read_pos;
  if (n > max) n = max;
  std::memcpy(out, reader.buffer.data() + reader.read_pos, static_cast<size_t>(n));
  reader.read_pos += n;
  return n;
}

int ReceiveBytesNoWait(LineReader& reader, char* out, int max) {
  if (max <= 0) return 0;
  if (reader.read_pos >= reader.fill) {
    reader.read_pos = 0;
    reader.fill = 0;
    long n;
    if (TlsCarries(reader.socket)) {
      bool waiting = TlsPending() || SockWaitReadable(reader.socket, 0) != 0;
      n = waiting ? TlsReceiveNoWait(reader.buffer.data(), kLineReaderBufferSize) : -1;
      if (n < 0) return -1;
    } else {
      n = SockRecvNoWait(reader.socket, reader.buffer.data(), kLineReaderBufferSize);
      if (n == kNothingYet) return -1;
    }
    if (n <= 0) return 0;  // the end of the stream, or an error
    reader.fill = static_cast<int>(n);
  }
  return ReceiveBytes(reader, out, max);
}

LineResult ReceiveLineResult(LineReader& reader, int seconds, std::string* line) {
  line->clear();
  int polls = 0;
  for (;;) {
    if (reader.socket < 0 && reader.read_pos >= reader.fill) return LineResult::kEnd;  // nothing can come
    if (!HasData(&reader)) {
      Delay(100);
      ++polls;
      if (seconds > 0 && polls > 10 * seconds) return LineResult::kTimeout;
      continue;
    }
    // Take the buffered bytes up to the next LF in one piece.
    if (!Refill(reader)) {
      if (line->empty()) return LineResult::kEnd;
      break;
    }
    const char* start = reader.buffer.data() + reader.read_pos;
    size_t avail = static_cast<size_t>(reader.fill - reader.read_pos);
    const void* lf = std::memchr(start, '\n', avail);
    size_t take = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : avail;
    if (line->size() + take > kMaxReceivedLine) return LineResult::kTooLong;
    line->append(start, take);
    reader.read_pos += static_cast<int>(take);
    if (lf) {
      ++reader.read_pos;  // the LF itself
      break;
    }
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return LineResult::kLine;
}

}  // namespace kal
