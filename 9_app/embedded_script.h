// The application carried inside the program, run when no script is given:
// the Zelquora radio-station search (its text is data/zelquora.kal).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct ConfigState;

// The lines whose literals come from the configuration: the search address
// (it sets $baseurl) and the prefix of a station's page.
constexpr int kSearchAddressLine = 8;
constexpr int kStationPageLine = 234;

// The lines of the embedded application, Latin-1, with the directory site's
// addresses given (empty: the defaults written in the script).
std::vector<std::string> EmbeddedScriptLines(std::string_view search_address = {},
                                             std::string_view station_prefix = {});

// The addresses configured in Talven.ini, section ZELQUORA, keys
// ENDERECOBUSCA and ENDERECOPLAY (defaults when absent).
std::string ConfiguredSearchAddress(ConfigState& config);
std::string ConfiguredStationPrefix(ConfigState& config);

}  // namespace kal
