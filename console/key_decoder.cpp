#include "console/key_decoder.h"

#include "console/latin1.h"

namespace kal {

// Minimal decoding: LF and CR are Enter, DEL is backspace, UTF-8 text is
// taken as Latin-1. Escape sequences are passed through as they are.
std::string KeyDecoder::Feed(std::string_view raw, int64_t now_ms) {
  std::string keys;
  std::string text = Utf8ToLatin1(raw);
  for (char c : text) {
    if (c == '\n') c = '\r';
    if (c == 127) c = 8;
    keys.push_back(c);
  }
  return keys;
}

std::string KeyDecoder::Flush(int64_t) { return {}; }

}  // namespace kal
