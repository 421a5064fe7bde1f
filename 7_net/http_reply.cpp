// Reading the reply head of the HTTP client.
#include "7_net/http_reply.h"

#include <charconv>

#include "7_net/http_address.h"

namespace kal {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

// A whole decimal number of at least one digit; -1 otherwise.
int64_t Decimal(std::string_view text) {
  int64_t n = -1;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 0) return -1;
  return n;
}

void TakeLength(std::string_view value, ReplyHead* head) {
  int64_t n = Decimal(value);
  if (n < 0 || (head->has_length && n != head->length)) head->broken = true;
  head->has_length = true;
  if (n >= 0) head->length = n;
}

void TakeTransferEncoding(std::string_view value, ReplyHead* head) {
  if (EqualNoCase(value, "chunked"))
    head->chunked = true;
  else if (!EqualNoCase(value, "identity"))
    head->broken = true;  // a coding this client does not decode
}

// "bytes START-END/TOTAL": START is what the client looks at.
void TakeContentRange(std::string_view value, ReplyHead* head) {
  head->has_range = true;
  head->range_start = -1;
  if (value.size() < 6 || !EqualNoCase(value.substr(0, 6), "bytes ")) return;
  value = Trim(value.substr(6));
  size_t dash = value.find('-');
  if (dash == std::string_view::npos) return;
  head->range_start = Decimal(value.substr(0, dash));
}

}  // namespace

int StatusCode(std::string_view line) {
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos || line.size() < blank + 4) return 0;
  int code = 0;
  const char* first = line.data() + blank + 1;
  auto [end, ec] = std::from_chars(first, first + 3, code);
  return (ec == std::errc() && end == first + 3) ? code : 0;
}

void TakeHeader(std::string_view line, ReplyHead* head) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  std::string_view name = Trim(line.substr(0, colon));
  std::string_view raw = line.substr(colon + 1);
  std::string_view value = Trim(raw);
  if (EqualNoCase(name, "location")) {
    head->has_location = true;
    // Only blanks are trimmed here, so that control bytes stay visible to
    // SafeLocation.
    while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
    head->location = std::string(raw);
  } else if (EqualNoCase(name, "content-type")) {
    head->content_type = std::string(value);
  } else if (EqualNoCase(name, "content-length")) {
    TakeLength(value, head);
  } else if (EqualNoCase(name, "transfer-encoding")) {
    TakeTransferEncoding(value, head);
  } else if (EqualNoCase(name, "content-range")) {
    TakeContentRange(value, head);
  }
}

bool SafeLocation(std::string_view location) {
  if (location.empty()) return false;
  for (char c : location) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7f) return false;
  }
  return true;
}

bool FollowableScheme(std::string_view address) {
  size_t sep = address.find("://");
  if (sep == std::string_view::npos) return false;
  std::string_view scheme = address.substr(0, sep);
  return EqualNoCase(scheme, "http") || EqualNoCase(scheme, "https");
}

bool SameOrigin(std::string_view a, std::string_view b) {
  WebAddress x = ParseWebAddress(a);
  WebAddress y = ParseWebAddress(b);
  return x.secure == y.secure && x.port == y.port && EqualNoCase(x.host, y.host);
}

}  // namespace kal
