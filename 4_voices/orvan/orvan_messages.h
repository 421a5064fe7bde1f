// The Orvan engine's messages, side by side (UTF-8 here; they become Latin-1
// when kept as the engine's last error or shown). Texts ending in ": " are
// followed by the offending line of the file.
#pragma once

#include <string_view>

namespace kal::orvan_msg {

// Starting MBROLA (it is a package of its own, which may be missing): the
// first is followed by where to get it, when the host says, and the
// sentence after it; the second by the database file looked for and a last
// sentence.
inline constexpr std::string_view kNoMbrola = "Voz Orvan indisponível: o programa mbrola não está instalado. ";
inline constexpr std::string_view kRecordedVoiceSpeaksNow = "Fala a voz gravada.";
inline constexpr std::string_view kNoMbrolaVoice =
    "Voz Orvan indisponível: a voz do mbrola não foi encontrada: ";
inline constexpr std::string_view kRecordedVoiceSpeaks = ". Fala a voz gravada.";

// Loading the data files.
inline constexpr std::string_view kWordDataError = "Erro na base de dados de português";
inline constexpr std::string_view kAbbreviationsError = "Erro no arquivo de abreviaturas";
inline constexpr std::string_view kProsodyError = "Erro no arquivo de prosódia";
inline constexpr std::string_view kOutputFileError = "Arquivo de saída não pode ser criado";

// The word-to-phoneme tool (--phonemes): "linha " + its number + this.
inline constexpr std::string_view kWordLineTooLong = " tem mais de 1024 bytes";

// Reading the prosody file.
inline constexpr std::string_view kWrongPhoneme = "Configuração da prosódia: fonema errado: ";
inline constexpr std::string_view kWrongKey = "Configuração da prosódia: chave errada: ";
inline constexpr std::string_view kProsodyMissing = "Configuração da prosódia não foi achada";
inline constexpr std::string_view kDurationsMissing = "Duração dos difones errada ou ausente";
inline constexpr std::string_view kKeywordsMissing = "Prosódia: palavras chaves ausentes";
inline constexpr std::string_view kPatternsMissing = "Prosódia: especificações ausentes";

}  // namespace kal::orvan_msg
