#include "0_base/latin1.h"

namespace kal {

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

namespace {
// Length of the UTF-8 sequence at s[i] and its code point, or 0 when the
// bytes there are not a well-formed sequence.
int DecodeUtf8(std::string_view s, size_t i, unsigned* cp) {
  unsigned char c = s[i];
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  unsigned v = len == 1 ? c : c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    unsigned char d = s[i + k];
    if ((d & 0xC0) != 0x80) return 0;
    v = (v << 6) | (d & 0x3F);
  }
  static const unsigned kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < kMin[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *cp = v;
  return len;
}
}  // namespace

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    unsigned cp = 0;
    int len = DecodeUtf8(utf8, i, &cp);
    if (len == 0) {
      out.push_back(utf8[i++]);
      continue;
    }
    out.push_back(cp < 0x100 ? static_cast<char>(cp) : '?');
    i += len;
  }
  return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
  bool multi = false;
  for (size_t i = 0; i < bytes.size();) {
    unsigned cp = 0;
    int len = DecodeUtf8(bytes, i, &cp);
    if (len == 0) return false;
    if (len > 1) multi = true;
    i += len;
  }
  return multi;
}

size_t IncompleteUtf8Tail(std::string_view bytes) {
  size_t n = bytes.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    unsigned char c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return need > back ? back : 0;
  }
  return 0;
}

}  // namespace kal
