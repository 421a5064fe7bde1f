// The directory site of the embedded application is a setting: section
// ZELQUORA of Talven.ini, keys ENDERECOBUSCA and ENDERECOPLAY.
#include "app/embedded_script.h"

namespace kal {

std::string ConfiguredSearchAddress() { return "https://www.radios.com.br/busca?q="; }
std::string ConfiguredStationPrefix() { return "http://www.radios.com.br/play/"; }

}  // namespace kal
