// The configuration's messages to the user (UTF-8 here; they become Latin-1
// when written).
#pragma once

#include <string_view>

namespace kal::config_msg {

// Another program holds Talven.ini's lock and this one waits for it.
inline constexpr std::string_view kWaitingForFile = "Aguardando o arquivo de configuração";

// Talven.ini (or its legacy copy) is there but is not read; + the file's
// name, ": " and the reason. Its keys read as absent.
inline constexpr std::string_view kFileNotRead = "O arquivo de configuração não foi lido: ";

}  // namespace kal::config_msg
