#include "0_base/visible_text.h"

namespace kal {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendHex(std::string* out, unsigned char c) {
  *out += "\\x";
  *out += kHex[c >> 4];
  *out += kHex[c & 15];
}

// The length of the well-formed UTF-8 sequence at the front of s; 0 when
// its first byte does not start one.
size_t SequenceLength(std::string_view s) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char c = byte(0);
  size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (n == 0 || s.size() < n) return 0;
  for (size_t i = 1; i < n; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if (c == 0xE0 && byte(1) < 0xA0) return 0;
  if (c == 0xED && byte(1) >= 0xA0) return 0;
  if (c == 0xF0 && byte(1) < 0x90) return 0;
  if (c == 0xF4 && byte(1) >= 0x90) return 0;
  return n;
}

}  // namespace

std::string VisibleText(std::string_view utf8, std::string_view kept) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x20 || c == 0x7F) {
      if (kept.find(static_cast<char>(c)) != std::string_view::npos) {
        out += static_cast<char>(c);
      } else {
        out += '^';
        out += static_cast<char>(c ^ 0x40);
      }
      ++i;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if (size_t n = SequenceLength(utf8.substr(i)); n == 0) {
      AppendHex(&out, c);
      ++i;
    } else if (c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      AppendHex(&out, static_cast<unsigned char>(utf8[i + 1]));  // C2 80..9F is U+0080..U+009F
      i += 2;
    } else {
      out.append(utf8, i, n);
      i += n;
    }
  }
  return out;
}

}  // namespace kal
