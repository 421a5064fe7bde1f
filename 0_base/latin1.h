// Layer 0_base: the pieces every other layer may use and that use nothing
// else of ours: the Latin-1/UTF-8 codec (here), the INI file, the wave
// format, the speech log, key names, the console grid type and the value
// that tells how a run ended.
//
// Conversions between the program's Latin-1 text and the UTF-8 of the host.
#pragma once

#include <string>
#include <string_view>

namespace kal {

std::string Latin1ToUtf8(std::string_view latin1);

// Characters outside Latin-1 become '?'; malformed sequences are taken byte
// by byte as Latin-1.
std::string Utf8ToLatin1(std::string_view utf8);

// True when the bytes are valid UTF-8 and hold at least one multi-byte
// sequence, i.e. they are not also plain ASCII.
bool LooksLikeUtf8(std::string_view bytes);

// Length of an incomplete UTF-8 sequence at the end of bytes (0 if none):
// the start of a character that a pipe or a block cut in two.
size_t IncompleteUtf8Tail(std::string_view bytes);

// Source files are UTF-8 while the program's texts are Latin-1: write a
// message with accents as L1("Erro de execução") to get its Latin-1 bytes.
inline std::string L1(std::string_view utf8) { return Utf8ToLatin1(utf8); }

}  // namespace kal
