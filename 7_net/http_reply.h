// The head of an HTTP reply as the client reads it: the status code and the
// headers it acts on, with the checks that turn a broken or contradictory
// head into a failure instead of a wrongly saved file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

// The status line and headers the client acts on.
struct ReplyHead {
  int status = 0;
  bool has_location = false;
  std::string location;  // as sent, control bytes included (see SafeLocation)
  std::string content_type;
  int64_t length = 0;  // 0: none announced
  bool has_length = false;
  bool chunked = false;  // Transfer-Encoding: chunked
  bool has_range = false;
  int64_t range_start = -1;  // first byte of Content-Range; -1 when unreadable
  // A header the client cannot honour: differing Content-Length values, a
  // length that is not a number, or a transfer coding other than chunked.
  bool broken = false;
};

// The status code: the three characters after the first blank; 0 when they
// are not a number.
int StatusCode(std::string_view line);

// Takes one header line into the head. Names are matched whole, in any case.
void TakeHeader(std::string_view line, ReplyHead* head);

// A Location value may be followed: it holds no control byte (a bare CR or
// LF would reach the next request's head).
bool SafeLocation(std::string_view location);

// The address may be fetched after a redirection: its scheme is http or
// https (in any case). Relative targets are resolved before this check.
bool FollowableScheme(std::string_view address);

// Whether two addresses lie on the same origin: scheme, host (in any case)
// and port. A cookie given for one is not sent to another.
bool SameOrigin(std::string_view a, std::string_view b);

}  // namespace kal
