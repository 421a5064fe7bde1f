// Why a service of the host is not there, as the stand-ins say it (UTF-8;
// a text ending in ": " or a blank is followed by a name).
#pragma once

#include <string_view>

namespace kal::platform_msg {

// A back end's module (1_platform/backend_module.h).
inline constexpr std::string_view kModuleNotFound = "módulo não encontrado: ";
inline constexpr std::string_view kModuleLacksEntry = " não tem a entrada ";  // module + this + entry
inline constexpr std::string_view kModuleOtherInterface =
    " é de outra versão do programa";  // module + this
// A module that loaded but could not make its service.
inline constexpr std::string_view kModuleMadeNothing = "o módulo não abriu o serviço";
inline constexpr std::string_view kNoDisplay = "não há tela";
inline constexpr std::string_view kNoBrailleServer = "não há servidor de braille";
// What this build of the program does not have.
inline constexpr std::string_view kNotInThisBuild = "não disponível nesta versão do programa";

}  // namespace kal::platform_msg
