// The line reader of a connection: a 4096-byte receive buffer with its read
// position and fill size. Bytes come in one receive call per refill; lines
// end at LF and a CR before it is dropped.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "7_net/net_wait.h"

namespace kal {

constexpr int kLineReaderBufferSize = 4096;
// A line read stops at this many bytes: nothing bounds what a hostile server
// sends, so the line buffer must be. The rest of the line stays in the
// reader for the next read.
constexpr size_t kMaxReceivedLine = 1 << 20;

struct Network;

struct LineReader {
  Network* net = nullptr;  // what the socket is read and waited through
  int socket = -1;
  std::array<char, kLineReaderBufferSize> buffer;
  int read_pos = kLineReaderBufferSize;  // a new reader fetches on its first read
  int fill = 0;
};

std::unique_ptr<LineReader> NewLineReader(Network& net, int socket);
inline void FreeLineReader(std::unique_ptr<LineReader>& reader) { reader.reset(); }

// Bytes are buffered or the socket is readable; false for no reader.
bool HasData(LineReader* reader);
// The next byte, waiting without limit; false at the end of the stream or on
// an error.
bool ReceiveByte(LineReader& reader, uint8_t* byte);
// Up to max buffered bytes (refilling once when the buffer is empty, waiting
// without limit): the count, or 0 at the end of the stream or on an error.
// The same bytes as ReceiveByte called that many times.
int ReceiveBytes(LineReader& reader, char* out, int max);

// As ReceiveBytes, but without waiting for the network: -1 when no byte is
// buffered or waiting yet. With the buffer empty, a read of at least
// kLineReaderBufferSize bytes receives straight into out.
int ReceiveBytesNoWait(LineReader& reader, char* out, int max);

enum class ReceiveStatus {
  kBytes,     // bytes came
  kEnd,       // the stream ended (or failed)
  kTimedOut,  // nothing came before the deadline
  kStopped,   // the stop check ended the wait
};

// The receive every wait for a peer's bytes goes through: up to max bytes,
// waiting (through WaitSocket) until the deadline (kNoDeadline: without
// limit) with stop asked between waits. *count is the number of bytes taken,
// above 0 exactly when the result is kBytes.
ReceiveStatus ReceiveBytesWithin(LineReader& reader, char* out, int max, int64_t deadline_ms,
                                 const StopCheck& stop, int* count);

enum class LineResult {
  kLine,     // a line came (possibly the last, unterminated one)
  kEnd,      // the stream ended with nothing collected
  kTimeout,  // the line did not come within the time given
  kTooLong,  // kMaxReceivedLine bytes came without LF; the rest waits
  kStopped,  // the stop check ended the wait
};

// Next line; seconds = 0 waits without limit, otherwise the line must come
// within that many seconds. Keys and the event pump are served while it
// waits; stop (when given) is asked between waits. The line keeps what was
// collected on every result: on kTooLong exactly kMaxReceivedLine bytes.
LineResult ReceiveLineResult(LineReader& reader, int seconds, std::string* line, const StopCheck& stop = nullptr);
inline bool ReceiveLine(LineReader& reader, int seconds, std::string* line) {
  return ReceiveLineResult(reader, seconds, line) == LineResult::kLine;
}

}  // namespace kal
