// The line reader: buffered receiving for connection channels and the HTTP
// client. Every receive reads without waiting and, when nothing has come,
// waits for the socket through WaitSocket, so no read blocks the program:
// not even one whose peer stopped in the middle of a TLS record.
#include "7_net/line_reader.h"

#include <cstring>

#include "7_net/tcp.h"
#include "1_platform/socket.h"

namespace kal {
namespace {

// Reads into the exhausted buffer what has come, without waiting: 1 bytes
// came, 0 the end of the stream (or an error), -1 nothing yet.
int FillNoWait(LineReader& r) {
  r.read_pos = 0;
  r.fill = 0;
  long n = ReceiveNoWait(*r.net, r.socket, r.buffer.data(), kLineReaderBufferSize);
  if (n == kNothingYet) return -1;
  if (n <= 0) return 0;
  r.fill = static_cast<int>(n);
  return 1;
}

// Makes sure the buffer holds bytes, waiting for the peer until the deadline
// or the stop check.
ReceiveStatus Refill(LineReader& r, int64_t deadline_ms, const StopCheck& stop) {
  if (r.read_pos < r.fill) return ReceiveStatus::kBytes;
  if (r.socket < 0) return ReceiveStatus::kEnd;
  for (;;) {
    int got = FillNoWait(r);
    if (got > 0) return ReceiveStatus::kBytes;
    if (got == 0) return ReceiveStatus::kEnd;
    switch (WaitSocket(*r.net, r.socket, SocketEvent::kReadable, deadline_ms, stop)) {
      case WaitResult::kReady:
        break;
      case WaitResult::kTimedOut:
        return ReceiveStatus::kTimedOut;
      case WaitResult::kStopped:
        return ReceiveStatus::kStopped;
      case WaitResult::kFailed:
        return ReceiveStatus::kEnd;
    }
  }
}

// Copies up to max buffered bytes out; the count.
int TakeBuffered(LineReader& r, char* out, int max) {
  int n = r.fill - r.read_pos;
  if (n > max) n = max;
  std::memcpy(out, r.buffer.data() + r.read_pos, static_cast<size_t>(n));
  r.read_pos += n;
  return n;
}

}  // namespace

std::unique_ptr<LineReader> NewLineReader(Network& net, int socket) {
  auto r = std::make_unique<LineReader>();
  r->net = &net;
  r->socket = socket;
  return r;
}

bool HasData(LineReader* reader) {
  if (!reader) return false;
  return reader->read_pos < reader->fill || IsReadable(*reader->net, reader->socket);
}

bool ReceiveByte(LineReader& reader, uint8_t* byte) {
  if (Refill(reader, kNoDeadline, nullptr) != ReceiveStatus::kBytes) return false;
  *byte = static_cast<uint8_t>(reader.buffer[reader.read_pos++]);
  return true;
}

int ReceiveBytes(LineReader& reader, char* out, int max) {
  int count = 0;
  ReceiveBytesWithin(reader, out, max, kNoDeadline, nullptr, &count);
  return count;
}

int ReceiveBytesNoWait(LineReader& reader, char* out, int max) {
  if (max <= 0) return 0;
  if (reader.read_pos >= reader.fill && max >= kLineReaderBufferSize && reader.socket >= 0) {
    // A large read goes straight into the caller's memory, in one receive.
    long n = ReceiveNoWait(*reader.net, reader.socket, out, max);
    if (n == kNothingYet) return -1;
    return n > 0 ? static_cast<int>(n) : 0;
  }
  if (reader.read_pos >= reader.fill) {
    int got = FillNoWait(reader);
    if (got <= 0) return got;
  }
  return TakeBuffered(reader, out, max);
}

ReceiveStatus ReceiveBytesWithin(LineReader& reader, char* out, int max, int64_t deadline_ms,
                                 const StopCheck& stop, int* count) {
  *count = 0;
  if (max <= 0) return ReceiveStatus::kEnd;
  ReceiveStatus status = Refill(reader, deadline_ms, stop);
  if (status == ReceiveStatus::kBytes) *count = TakeBuffered(reader, out, max);
  return status;
}

LineResult ReceiveLineResult(LineReader& reader, int seconds, std::string* line, const StopCheck& stop) {
  line->clear();
  int64_t deadline = DeadlineIn(*reader.net, int64_t{seconds} * 1000);
  for (;;) {
    ReceiveStatus status = Refill(reader, deadline, stop);
    if (status == ReceiveStatus::kTimedOut) return LineResult::kTimeout;
    if (status == ReceiveStatus::kStopped) return LineResult::kStopped;
    if (status == ReceiveStatus::kEnd) {
      if (line->empty()) return LineResult::kEnd;
      break;
    }
    // Take the buffered bytes up to the next LF in one piece, but never
    // more than the line may hold.
    const char* start = reader.buffer.data() + reader.read_pos;
    size_t avail = static_cast<size_t>(reader.fill - reader.read_pos);
    const void* lf = std::memchr(start, '\n', avail);
    size_t take = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : avail;
    size_t room = kMaxReceivedLine - line->size();
    if (take > room) {
      line->append(start, room);
      reader.read_pos += static_cast<int>(room);
      return LineResult::kTooLong;
    }
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
