// The directory site of the embedded application is a setting: section
// ZELQUORA of Talven.ini, keys ENDERECOBUSCA (the search address, ending in
// the query key) and ENDERECOPLAY (the prefix of a station's page). Absent
// keys are written back with their defaults, so a person finds them in the
// file.
#include "9_app/embedded_script.h"
#include "2_config/config.h"

namespace kal {

namespace {
constexpr std::string_view kSection = "ZELQUORA";
}  // namespace

std::string ConfiguredSearchAddress() {
  return ReadConfigDefault(kSection, "ENDERECOBUSCA", "https://www.radios.com.br/busca?q=");
}

std::string ConfiguredStationPrefix() {
  return ReadConfigDefault(kSection, "ENDERECOPLAY", "http://www.radios.com.br/play/");
}

}  // namespace kal
