// The stream behind a station's page. The radio search writes a station's
// stream address into its report when the station's page on the directory
// site gives one, and the page's own address (the ENDERECOPLAY prefix and the
// station's name) when it does not, or could not be fetched. Before such an
// address is played, the page is fetched again and the stream address taken
// from it as the search does: the text in double quotes after "src:" and
// two blanks.
#pragma once

#include <string>

namespace kal {

class EventLoop;

// True when the address is a station page of the configured directory site
// (it begins with ENDERECOPLAY, letter case ignored).
bool IsStationPage(const std::string& address, const std::string& page_prefix);

// The stream address that a station page's text names; "" when none.
std::string StreamAddressInPage(const std::string& page);

struct Network;

enum class StreamLookup { kFound, kNotOnPage, kNotFetched, kStopped };

// Fetches the page (any key stops the fetch, and it gives up after
// kPageFetchLimitMs) and finds the stream address in it.
StreamLookup FollowStationPage(Network& network, const std::string& page_address, std::string* stream);
inline constexpr int kPageFetchLimitMs = 30000;

}  // namespace kal
