// The language server's input: JSON-RPC messages framed by headers
// ("Content-Length: N", a blank line, N bytes of body), read with every
// length bounded while it is read. A header block without a usable length
// is passed over, and reading goes on at the next header that has one.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace kal {

// The most a client may send: a message's body (a whole script's text is
// far below it), a header line (longer lines keep only their end, where a
// header that follows junk is found), and how deep arrays and objects may
// lie within each other in a body.
inline constexpr size_t kMostLspBodyBytes = size_t{4} << 20;
inline constexpr size_t kMostLspHeaderBytes = 1024;
inline constexpr int kMostLspJsonDepth = 128;

enum class Frame {
  kBody,     // *body holds a whole message's body
  kTooLong,  // a body over kMostLspBodyBytes, passed over unread
  kEnd,      // the input ended (a body cut short by the end included)
};

Frame ReadFrame(std::istream& in, std::string* body);

// False when arrays and objects lie deeper than `most` within each other
// (brackets within strings do not count), checked before the text is
// parsed, so that no parser, copy or writer recurses deeper.
bool NestsWithin(std::string_view json, int most);

}  // namespace kal
