// The numeric rule and the decimal writing of numbers.
#include "interpreter/numbers.h"

#include <charconv>

namespace kal {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(std::string_view digits, int32_t* value) {
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (char c : digits) {
    int d = HexDigit(c);
    if (d < 0) return false;
    v = v * 16 + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  *value = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

}  // namespace

bool ParseNumber(std::string_view text, int32_t* value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  text.remove_prefix(i);
  if (text.empty()) return false;
  if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return ParseHex(text.substr(1), value);
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2), value);
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

void AppendNumber(std::string* out, int64_t value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out->append(buf, r.ptr);
}

std::string NumberToText(int64_t value) {
  std::string s;
  AppendNumber(&s, value);
  return s;
}

}  // namespace kal
