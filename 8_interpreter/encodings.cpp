// Byte-level text conversions of the encoding commands.
#include "8_interpreter/encodings.h"

#include <algorithm>
#include <cstdint>

namespace kal {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Code points of Windows-1252 bytes 0x80-0x9F.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(unsigned cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Index of c in the Base64 alphabet, or -1.
int Base64Index(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Encodes 1 to 3 bytes as four characters, padding with '='.
void EncodeGroup(const unsigned char* b, size_t n, std::string* out) {
  unsigned v = (b[0] << 16) | (n > 1 ? b[1] << 8 : 0) | (n > 2 ? b[2] : 0);
  out->push_back(kAlphabet[(v >> 18) & 63]);
  out->push_back(kAlphabet[(v >> 12) & 63]);
  out->push_back(n > 1 ? kAlphabet[(v >> 6) & 63] : '=');
  out->push_back(n > 2 ? kAlphabet[v & 63] : '=');
}

void AppendHexEscape(char marker, unsigned char b, std::string* out) {
  out->push_back(marker);
  out->push_back(kHex[b >> 4]);
  out->push_back(kHex[b & 15]);
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  for (unsigned char b : ansi) AppendUtf8(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : b, &out);
  return out;
}

std::string Utf8ToAnsiFold(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char b = utf8[i];
    if (b >= 0xC0 && b <= 0xDF && i + 1 < utf8.size()) {
      unsigned char c = utf8[++i];
      out.push_back(static_cast<char>(((b * 64) + (c & 0x3F)) & 0xFF));
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  return out;
}

std::string PercentEncode(std::string_view bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    bool plain = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                 b == '-' || b == '.' || b == '_' || b == '~';
    if (plain) {
      out.push_back(static_cast<char>(b));
    } else {
      AppendHexEscape('%', b, &out);
    }
  }
  return out;
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < bytes.size(); i += 3) EncodeGroup(p + i, std::min<size_t>(3, bytes.size() - i), &out);
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  Base64StreamDecoder d;
  d.Feed(text, &out);
  d.Finish(&out);
  return out;
}

std::string QuotedEncode(std::string_view bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    if (b < 0x20 || b == '=' || b >= 0x7F) {
      AppendHexEscape('=', b, &out);
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  return out;
}

std::string QuotedDecode(std::string_view text) {
  if (!text.empty() && text.back() == '=') text.remove_suffix(1);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

void Base64LineEncoder::Feed(std::string_view bytes, std::string* out) {
  carry_.append(bytes);
  size_t whole = carry_.size() / 3 * 3;
  auto* p = reinterpret_cast<const unsigned char*>(carry_.data());
  for (size_t i = 0; i < whole; i += 3) {
    EncodeGroup(p + i, 3, &line_);
    if (line_.size() == 64) {
      out->append(line_);
      out->append("\r\n");
      line_.clear();
    }
  }
  carry_.erase(0, whole);
}

void Base64LineEncoder::Finish(std::string* out) {
  if (!carry_.empty()) {
    EncodeGroup(reinterpret_cast<const unsigned char*>(carry_.data()), carry_.size(), &line_);
    carry_.clear();
  }
  if (line_.empty()) return;
  out->append(line_);
  out->append("\r\n");
  line_.clear();
}

bool Base64StreamDecoder::Feed(std::string_view text, std::string* out) {
  for (char c : text) {
    if (ended_) return false;
    if (c == '=') {
      ended_ = true;
      return false;
    }
    int v = Base64Index(c);
    if (v < 0) continue;
    quad_[have_++] = static_cast<unsigned>(v);
    if (have_ == 4) {
      unsigned w = (quad_[0] << 18) | (quad_[1] << 12) | (quad_[2] << 6) | quad_[3];
      out->push_back(static_cast<char>(w >> 16));
      out->push_back(static_cast<char>((w >> 8) & 0xFF));
      out->push_back(static_cast<char>(w & 0xFF));
      have_ = 0;
    }
  }
  return !ended_;
}

void Base64StreamDecoder::Finish(std::string* out) {
  if (have_ >= 2) {
    unsigned w = (quad_[0] << 18) | (quad_[1] << 12) | (have_ > 2 ? quad_[2] << 6 : 0);
    out->push_back(static_cast<char>(w >> 16));
    if (have_ == 3) out->push_back(static_cast<char>((w >> 8) & 0xFF));
  }
  have_ = 0;
}

}  // namespace kal
