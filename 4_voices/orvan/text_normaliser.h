// The first stage of the Orvan engine: one line of raw Latin-1 text becomes
// plain Portuguese words and phrasing punctuation. Numbers become number
// words, abbreviations before ". " are expanded from the abbreviations file,
// words of consonants only are spelled, other symbols are named.
#pragma once

#include <string>
#include <string_view>

#include "4_voices/number_words.h"

namespace kal::orvan {

struct OrvanTables;

// Empties the table, then reads "KEY = expansion" lines. False when the file
// cannot be opened (an empty file is fine).
bool LoadAbbreviations(OrvanTables& tables, const std::string& path);
// The expansion of the upper-cased word, or "".
std::string LookupAbbreviation(const OrvanTables& tables, std::string_view word);
void ClearAbbreviations(OrvanTables& tables);

std::string NormaliseText(const OrvanTables& tables, std::string_view text);

// The spoken name of one character, or "" when it has none.
std::string SymbolName(unsigned char c);

// Letter set of the normaliser (A-Z, a-z and the Portuguese accented letters).
bool IsTextLetter(unsigned char c);

}  // namespace kal::orvan
