// The application's messages, side by side: the command line, loading the
// script, and the text viewer (UTF-8 here; the viewer's become Latin-1 when
// said). Texts ending in a blank or ": " are followed by a name.
#pragma once

#include <string_view>

namespace kal::app_msg {

// The command line.
inline constexpr std::string_view kSpeechLogNeedsFile = "--speech-log precisa de um nome de arquivo";
inline constexpr std::string_view kViewNeedsFile = "--view precisa de um nome de arquivo";
inline constexpr std::string_view kOrvanDirNeedsFolder = "--orvan-dir precisa de uma pasta";
inline constexpr std::string_view kBrailleLogNeedsFile = "--braille-log precisa de um nome de arquivo";
inline constexpr std::string_view kUnknownOption = "opção desconhecida: ";
inline constexpr std::string_view kOptionTakesNoValue = "esta opção não leva valor: ";
inline constexpr std::string_view kConflictingModes = "--view, --phonemes e um script não podem ser usados juntos";

// Loading the script.
inline constexpr std::string_view kScriptNotFound = "Script não encontrado: ";
inline constexpr std::string_view kScriptIsFolder = "O script é uma pasta: ";
inline constexpr std::string_view kScriptUnreadable = "Não foi possível ler o script ";
inline constexpr std::string_view kScriptPrefix = "O script ";  // + path + " " + what is wrong
inline constexpr std::string_view kTooManyLinesBefore = "tem mais de ";
inline constexpr std::string_view kTooManyLinesAfter = " linhas";

// The end of a stopped run, on standard error.
inline constexpr const char* kEndInputEnded = "kaldorin: a entrada terminou; o programa foi encerrado.\n";
inline constexpr const char* kEndInterrupted = "kaldorin: interrompido; o programa foi encerrado.\n";
inline constexpr const char* kEndOther = "kaldorin: o programa foi encerrado.\n";

// The text viewer.
inline constexpr std::string_view kEmptyLine = "linha vazia";
inline constexpr std::string_view kCannotOpenFile = "Não foi possível abrir o arquivo ";
inline constexpr std::string_view kOneLine = " linha";
inline constexpr std::string_view kLines = " linhas";

}  // namespace kal::app_msg
