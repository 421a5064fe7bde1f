// The speech facade's messages, side by side (UTF-8 here; they become
// Latin-1 when said). Texts ending in ": " are followed by a value.
#pragma once

#include <string_view>

namespace kal::speech_msg {

// The recorded voice could not start: the report, then the wait for Enter.
inline constexpr std::string_view kInitError = "Erro de inicialização da voz gravada";
inline constexpr std::string_view kVoiceDatabase = "Banco de dados de voz: ";
inline constexpr std::string_view kNotFound = "Não encontrado: ";
inline constexpr std::string_view kPressEnter = "Tecle Enter";

}  // namespace kal::speech_msg
