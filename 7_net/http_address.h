// Web addresses as the download command takes them apart: scheme, host,
// port and path, and the resolution of a redirection target against the
// address that answered with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

struct WebAddress {
  bool secure = false;  // https
  std::string host;
  std::string port_text;  // as written, "" when none
  uint16_t port = 80;
  std::string path = "/";
};

// The scheme is secure when the address starts with "https" in any case.
// Everything up to the first "://" goes; the rest (at most 999 characters)
// gives host, port text (after the first ':' up to '/') and path. A port
// text that is not a number gives port 0, which no connection can use.
WebAddress ParseWebAddress(std::string_view address);

// The value of the request's Host header: the host as written (an IPv6
// literal with its brackets), followed by ":port" when the address names a
// port other than the scheme's own (80, or 443 for https); name-based
// virtual hosts on other ports tell sites apart by it.
std::string HostHeaderValue(const WebAddress& a);

// The address a Location header points to: absolute addresses stand as
// they are; "//host/path" keeps the scheme; "/path" keeps scheme, host and
// port; any other text replaces the last segment of the current path.
std::string ResolveLocation(std::string_view current, std::string_view location);

}  // namespace kal
