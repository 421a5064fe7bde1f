// The line reader of a connection: a 4096-byte receive buffer with its read
// position and fill size. Bytes come in one receive call per refill; lines
// end at LF and a CR before it is dropped.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace kal {

constexpr int kLineReaderBufferSize = 4096;
// A peer that sends a longer line than this ends the read: nothing bounds
// what a hostile server sends, so the line buffer must be.
constexpr size_t kMaxReceivedLine = 1 << 20;

struct LineReader {
  int socket = -1;
  std::array<char, kLineReaderBufferSize> buffer;
  int read_pos = kLineReaderBufferSize;  // a new reader fetches on its first read
  int fill = 0;
};

std::unique_ptr<LineReader> NewLineReader(int socket);
inline void FreeLineReader(std::unique_ptr<LineReader>& reader) { reader.reset(); }

// Bytes are buffered or the socket is readable; false for no reader.
bool HasData(LineReader* reader);
// The next byte; false at the end of the stream or on an error.
bool ReceiveByte(LineReader& reader, uint8_t* byte);
// Up to max buffered bytes (refilling once when the buffer is empty): the
// count, or 0 at the end of the stream or on an error. The same bytes as
// ReceiveByte called that many times.
int ReceiveBytes(LineReader& reader, char* out, int max);

// As ReceiveBytes, but without waiting for the network: -1 when no byte is
// buffered or waiting yet.
int ReceiveBytesNoWait(LineReader& reader, char* out, int max);

enum class LineResult {
  kLine,     // a line came (possibly the last, unterminated one)
  kEnd,      // the stream ended with nothing collected
  kTimeout,  // no data within the time given
  kTooLong,  // the peer sent more than kMaxReceivedLine bytes without LF
};

// Next line; seconds = 0 waits without limit, polling every 100 ms through
// the console's Delay. The line keeps what was collected on every result.
LineResult ReceiveLineResult(LineReader& reader, int seconds, std::string* line);
inline bool ReceiveLine(LineReader& reader, int seconds, std::string* line) {
  return ReceiveLineResult(reader, seconds, line) == LineResult::kLine;
}

}  // namespace kal
