// The window automation's messages to the user (UTF-8 here, said through
// SayLine). They say why a command could not drive the desktop.
#pragma once

#include <string_view>

namespace kal {

inline constexpr std::string_view kMsgNoDisplay =
    "Automação indisponível: não há tela gráfica (variável DISPLAY ausente ou tela recusada)";
inline constexpr std::string_view kMsgWaylandOnly =
    "Automação indisponível: sessão Wayland sem servidor X (XWayland)";
inline constexpr std::string_view kMsgNoInputExtension =
    "Automação indisponível: o servidor X não aceita teclas simuladas (extensão XTest)";
inline constexpr std::string_view kMsgKeyUnavailable = "Tecla não encontrada no teclado: ";
inline constexpr std::string_view kMsgNoAccessibility =
    "Acessibilidade indisponível: o barramento de acessibilidade não responde";

// MSAA ESTADO: the states a script can tell apart.
inline constexpr std::string_view kMsaaStateChecked = "marcado";
inline constexpr std::string_view kMsaaStateUnavailable = "indisponível";

}  // namespace kal
