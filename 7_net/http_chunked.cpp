// The chunked transfer decoder, a byte-driven state machine so that a piece
// boundary may fall anywhere in what one receive brings.
#include "7_net/http_chunked.h"

#include <algorithm>

namespace kal {
namespace {

// A piece larger than this (16 hexadecimal digits would overflow the
// counters) is taken for a hostile server.
constexpr uint64_t kMaxPiece = uint64_t{1} << 60;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// Collects one byte of a line; true when the LF ending it came (the line,
// without CR LF, is then in line_). A line over the limit fails the decoder.
bool ChunkedDecoder::TakeLineByte(char c) {
  if (c == '\n') {
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return true;
  }
  if (line_.size() >= kMaxLine) {
    state_ = State::kFailed;
    return false;
  }
  line_.push_back(c);
  return false;
}

// "SIZE[;extensions]": the size in hexadecimal, optionally followed by
// blanks or extensions, which mean nothing here.
bool ChunkedDecoder::EndSizeLine() {
  uint64_t size = 0;
  size_t i = 0;
  for (; i < line_.size(); ++i) {
    int v = HexValue(line_[i]);
    if (v < 0) break;
    if (size > kMaxPiece / 16) return false;
    size = size * 16 + static_cast<uint64_t>(v);
  }
  if (i == 0) return false;
  if (i < line_.size() && line_[i] != ';' && line_[i] != ' ' && line_[i] != '\t') return false;
  left_ = size;
  state_ = size == 0 ? State::kTrailer : State::kData;
  return true;
}

bool ChunkedDecoder::EndTrailerLine() {
  if (line_.empty()) {
    state_ = State::kDone;
    return true;
  }
  trailers_ += line_.size() + 2;
  return trailers_ <= kMaxTrailers;
}

bool ChunkedDecoder::Feed(std::string_view input, std::string* out) {
  size_t i = 0;
  while (i < input.size()) {
    switch (state_) {
      case State::kDone:
        return true;
      case State::kFailed:
        return false;
      case State::kData: {
        size_t take = static_cast<size_t>(std::min<uint64_t>(left_, input.size() - i));
        out->append(input.data() + i, take);
        i += take;
        left_ -= take;
        if (left_ == 0) state_ = State::kDataEnd;
        continue;
      }
      case State::kSize:
      case State::kDataEnd:
      case State::kTrailer:
        break;
    }
    if (!TakeLineByte(input[i++])) continue;
    bool ok = true;
    if (state_ == State::kSize) {
      ok = EndSizeLine();
    } else if (state_ == State::kDataEnd) {
      ok = line_.empty();  // a piece is followed by CR LF and nothing else
      state_ = State::kSize;
    } else {
      ok = EndTrailerLine();
    }
    line_.clear();
    if (!ok) state_ = State::kFailed;
  }
  return state_ != State::kFailed;
}

}  // namespace kal
