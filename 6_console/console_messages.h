// The console's messages, side by side (UTF-8 here; they become Latin-1 when
// written).
#pragma once

#include <string_view>

namespace kal::console_msg {

inline constexpr std::string_view kSmallTerminal =
    "O terminal é menor que o console de 80 colunas por 25 linhas: a tela acompanha o cursor.";

}  // namespace kal::console_msg
