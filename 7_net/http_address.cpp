// Taking web addresses apart for the HTTP client.
#include "7_net/http_address.h"

#include <charconv>

namespace kal {
namespace {

constexpr size_t kMaxAddressRest = 999;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (toupper(static_cast<unsigned char>(text[i])) != toupper(static_cast<unsigned char>(prefix[i]))) return false;
  return true;
}

// The scheme and authority of an address ("http://host:port"), or "" when
// it has no "://".
std::string_view Origin(std::string_view address) {
  size_t sep = address.find("://");
  if (sep == std::string_view::npos) return {};
  size_t slash = address.find('/', sep + 3);
  return address.substr(0, slash);
}

// Where the search for a port starts: after the ']' of a host written as
// "[v6 address]", else at the start.
size_t BracketedHostEnd(const std::string& rest) {
  if (rest.empty() || rest[0] != '[') return 0;
  size_t close = rest.find(']');
  size_t slash = rest.find('/');
  if (close == std::string::npos || (slash != std::string::npos && slash < close)) return 0;
  return close + 1;
}

}  // namespace

WebAddress ParseWebAddress(std::string_view address) {
  WebAddress a;
  a.secure = StartsWithNoCase(address, "HTTPS");
  size_t sep = address.find("://");
  std::string rest(sep == std::string_view::npos ? address : address.substr(sep + 3));
  if (rest.size() > kMaxAddressRest) rest.resize(kMaxAddressRest);

  // An IPv6 literal ("[::1]") keeps its colons: the port is looked for
  // after its closing bracket.
  size_t from = BracketedHostEnd(rest);
  size_t colon = rest.find(':', from);
  if (colon != std::string::npos) {
    size_t end = rest.find('/', colon + 1);
    a.port_text = rest.substr(colon + 1, end == std::string::npos ? std::string::npos : end - colon - 1);
    // Every ':' followed by the port text goes, as the address was taken
    // apart from the first one on.
    std::string needle = ":" + a.port_text;
    for (size_t at; (at = rest.find(needle, from)) != std::string::npos;) rest.erase(at, needle.size());
  }
  size_t slash = rest.find('/');
  if (slash == std::string::npos) {
    a.host = rest;
    a.path = "/";
  } else {
    a.host = rest.substr(0, slash);
    a.path = rest.substr(slash);
  }
  if (a.port_text.empty()) {
    a.port = a.secure ? 443 : 80;
  } else {
    unsigned value = 0;
    const char* first = a.port_text.data();
    const char* last = first + a.port_text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    a.port = (ec == std::errc() && end == last && value <= 65535) ? static_cast<uint16_t>(value) : 0;
  }
  return a;
}

std::string HostHeaderValue(const WebAddress& a) {
  uint16_t usual = a.secure ? 443 : 80;
  if (a.port_text.empty() || a.port == usual) return a.host;
  return a.host + ":" + std::to_string(a.port);
}

std::string ResolveLocation(std::string_view current, std::string_view location) {
  if (location.find("://") != std::string_view::npos) return std::string(location);
  std::string_view origin = Origin(current);
  if (origin.empty()) return std::string(location);
  if (location.substr(0, 2) == "//") return std::string(origin.substr(0, origin.find("://") + 1)) + std::string(location);
  if (!location.empty() && location[0] == '/') return std::string(origin) + std::string(location);
  // Relative to the folder of the current path (the query left aside).
  std::string_view path = current.substr(origin.size());
  path = path.substr(0, path.find_first_of("?#"));
  size_t last = path.rfind('/');
  std::string base = last == std::string_view::npos ? "/" : std::string(path.substr(0, last + 1));
  return std::string(origin) + base + std::string(location);
}

}  // namespace kal
