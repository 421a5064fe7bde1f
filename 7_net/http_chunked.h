// Decoding of the chunked transfer coding: the body comes as pieces, each
// after a line with its size in hexadecimal, and ends with a piece of size
// 0 and optional trailer lines, which are passed over. Bytes are fed in as
// they arrive, in any split; the decoded body comes out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

class ChunkedDecoder {
 public:
  // A size line (with its extensions) or a trailer line longer than this
  // is taken for a hostile server.
  static constexpr size_t kMaxLine = 4096;
  // All trailer lines together.
  static constexpr size_t kMaxTrailers = 64 * 1024;

  // Appends the body bytes found in input to out. False when the framing is
  // broken; the decoder then stays failed. Bytes after the end are ignored.
  bool Feed(std::string_view input, std::string* out);
  // The last piece and the trailers have come.
  bool Done() const { return state_ == State::kDone; }

 private:
  enum class State { kSize, kData, kDataEnd, kTrailer, kDone, kFailed };
  bool TakeLineByte(char c);
  bool EndSizeLine();
  bool EndTrailerLine();

  State state_ = State::kSize;
  std::string line_;
  uint64_t left_ = 0;  // bytes of the current piece still to come
  size_t trailers_ = 0;
};

}  // namespace kal
