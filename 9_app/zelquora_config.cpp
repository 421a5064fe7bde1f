// The directory site of the embedded application is a setting: section
// ZELQUORA of Talven.ini, keys ENDERECOBUSCA (the search address, ending in
// the query key) and ENDERECOPLAY (the prefix of a station's page). Absent
// keys are written back with their defaults, so a person finds them in the
// file.
#include "9_app/embedded_script.h"
#include "2_config/config.h"

namespace kal {

std::string ConfiguredSearchAddress(ConfigState& config) { return ReadConfigDefault(config, cfg::kEnderecoBusca); }

std::string ConfiguredStationPrefix(ConfigState& config) { return ReadConfigDefault(config, cfg::kEnderecoPlay); }

}  // namespace kal
