// Web addresses in the viewer's lines: finding one, telling whether it may
// be played, and the short form that is spoken instead of every colon, slash
// and dot. Lines and results are Latin-1.
#pragma once

#include <string>

namespace kal {

// The first http:// or https:// address in the line (letter case of the
// scheme ignored), up to the next blank; "" when the line holds none.
std::string FindAddress(const std::string& line);

// True for an http or https address with a host, made of printable ASCII
// only (no blanks, control bytes or bytes above 126) and not longer than
// kMaxPlayableAddress: what may be handed to the player.
bool IsPlayableAddress(const std::string& address);
inline constexpr size_t kMaxPlayableAddress = 2048;

// The address as it is spoken: the host without "www." and its port, then
// the words of the path, the query and punctuation left out
// ("http://www.radio.com.br:8000/ao-vivo/aac.mp3?x=1" gives
// "radio com br ao vivo aac mp3"). Escaped bytes (%C3%A1) are decoded.
std::string CompactAddress(const std::string& address);

// The line as the viewer speaks it: each address in it in its short form.
std::string SpokenLine(const std::string& line);

}  // namespace kal
