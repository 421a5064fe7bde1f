// The console's messages, side by side (UTF-8 here; they become Latin-1 when
// written).
#pragma once

#include <string_view>

namespace kal::console_msg {

inline constexpr std::string_view kSmallTerminal = "Terminal menor que 80 por 25: a tela acompanha o cursor.";

// A copy to the clipboard was made (field editor, screen review).
inline constexpr std::string_view kCopied = "Copiado";
// The speech speed chosen with Ctrl+F4 in the field editor, + 1 to 5.
inline constexpr std::string_view kSpeed = "Velocidade ";

}  // namespace kal::console_msg
