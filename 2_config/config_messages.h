// The configuration's messages to the user (UTF-8 here; they become Latin-1
// when written).
#pragma once

#include <string_view>

namespace kal::config_msg {

// Another program holds Talven.ini's lock and this one waits for it.
inline constexpr std::string_view kWaitingForFile = "Aguardando o arquivo de configuração";

}  // namespace kal::config_msg
