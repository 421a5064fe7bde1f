#include "9_app/station_stream.h"

#include <cctype>

#include "1_platform/event_loop.h"
#include "1_platform/paths.h"
#include "1_platform/pump.h"
#include "7_net/http_fetch.h"
#include "7_net/network.h"

namespace kal {

namespace {

constexpr char kStreamMarker[] = "src:  \"";
// The radio search's own user agent: the site answers a browser.
constexpr char kAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/121.0.0.0 Safari/537.36";
// A page larger than this is not a station's page.
constexpr size_t kMaxPage = 4 << 20;

}  // namespace

bool IsStationPage(const std::string& address, const std::string& page_prefix) {
  if (page_prefix.empty() || address.size() <= page_prefix.size()) return false;
  for (size_t i = 0; i < page_prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(address[i])) != std::tolower(static_cast<unsigned char>(page_prefix[i])))
      return false;
  return true;
}

std::string StreamAddressInPage(const std::string& page) {
  size_t at = page.find(kStreamMarker);
  if (at == std::string::npos) return "";
  at += sizeof kStreamMarker - 1;
  size_t end = page.find_first_of("\"\r\n", at);
  if (end == std::string::npos || page[end] != '"') return "";
  return page.substr(at, end - at);
}

StreamLookup FollowStationPage(Network& network, const std::string& page_address, std::string* stream) {
  std::string folder = MakePrivateFolder("kaldorin-page-");
  if (folder.empty()) return StreamLookup::kNotFetched;
  std::string file = folder + "/pagina.html";
  int64_t deadline = network.loop.NowMs() + kPageFetchLimitMs;
  bool stopped = false;  // by a key, not by the time limit
  auto stop = [&] {
    stopped = KeyPressed(network.platform);
    return stopped || network.loop.NowMs() > deadline;
  };
  std::string page;
  bool fetched = FetchLines(network, page_address, file, kAgent, "", stop) && ReadHostFile(file, &page, kMaxPage);
  RemovePrivateFolder(folder);
  if (!fetched) return stopped ? StreamLookup::kStopped : StreamLookup::kNotFetched;
  *stream = StreamAddressInPage(page);
  return stream->empty() ? StreamLookup::kNotOnPage : StreamLookup::kFound;
}

}  // namespace kal
