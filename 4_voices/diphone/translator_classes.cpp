// Character classes of the word translator.
#include "4_voices/diphone/translator_tables.h"

#include <cstring>

namespace kal::translator {

bool IsVowel(char c) { return c != 0 && std::strchr("AEIOUaeiou", c) != nullptr; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsConsonant(char c) { return IsLetter(c) && !IsVowel(c); }
bool IsAccentMark(char c) { return c != 0 && std::strchr("\"'^`~", c) != nullptr; }
bool IsPunctuation(char c) { return c != 0 && std::strchr(" !,.:;?", c) != nullptr; }
bool IsWordChar(char c) { return IsLetter(c) || IsAccentMark(c); }
bool IsFrontVowel(char c) { return c != 0 && std::strchr("EIei", c) != nullptr; }
bool IsBackVowel(char c) { return c != 0 && std::strchr("AOao", c) != nullptr; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace kal::translator
