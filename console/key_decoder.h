// Turns raw input bytes (a terminal's or standard input's) into the key byte
// stream of the console: plain keys are their Latin-1 code, extended keys a
// zero byte followed by the PC scan code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

class KeyDecoder {
 public:
  // Feeds raw bytes; returns the key bytes decoded so far. Bytes of an
  // unfinished sequence are kept for the next call.
  std::string Feed(std::string_view raw, int64_t now_ms);
  // Called when input has been quiet: a lone Esc (or an unfinished
  // sequence) older than the pause becomes keys.
  std::string Flush(int64_t now_ms);
  bool Pending() const { return !pending_.empty(); }

 private:
  std::string pending_;
  int64_t pending_since_ = 0;
};

}  // namespace kal
