// The numeric rule and the decimal writing of numbers.
#include "8_interpreter/numbers.h"

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
  // Fast path: a few plain digits, the common case in loops.
  if (!text.empty() && text.size() <= 9) {
    int32_t v = 0;
    size_t k = 0;
    for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k) v = v * 10 + (text[k] - '0');
    if (k == text.size()) {
      *value = v;
      return true;
    }
  }
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

bool PlainDecimal(std::string_view text, int64_t* value) {
  bool negative = !text.empty() && text[0] == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || digits.size() > 18 || (digits[0] == '0' && (digits.size() > 1 || negative))) return false;
  int64_t v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = negative ? -v : v;
  return true;
}

void AppendNumber(std::string* out, int64_t value) {
  if (value >= 0 && value < 1000000000) {  // the common case, without to_chars
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char buf[10];
    char* p = buf + sizeof buf;
    uint32_t v = static_cast<uint32_t>(value);
    while (v >= 100) {
      uint32_t pair = (v % 100) * 2;
      v /= 100;
      *--p = kPairs[pair + 1];
      *--p = kPairs[pair];
    }
    if (v >= 10) {
      *--p = kPairs[v * 2 + 1];
      *--p = kPairs[v * 2];
    } else {
      *--p = static_cast<char>('0' + v);
    }
    out->append(p, static_cast<size_t>(buf + sizeof buf - p));
    return;
  }
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out->append(buf, r.ptr);
}

std::string NumberToText(int64_t value) {
  std::string s;
  AppendNumber(&s, value);
  return s;
}

bool SplitNumericSuffix(std::string_view v, size_t* prefix_size, int32_t* suffix) {
  size_t i = v.size();
  while (i > 0 && v[i - 1] >= '0' && v[i - 1] <= '9') --i;
  bool has_digits = i < v.size();
  if (i > 0 && v[i - 1] == '-') --i;
  *prefix_size = i;
  *suffix = 0;
  if (!has_digits) return true;
  return ParseNumber(v.substr(i), suffix);
}

}  // namespace kal
