// Letter-to-sound rules of the Orvan engine: the rules file (".nrl"), the
// exceptions file (".exc"), the stress finder and the rule matcher that
// turns one upper-cased Latin-1 word into phoneme lines.
//
// A rule reads LEFT(FOCUS)RIGHT=OUTPUT. Outputs separate phonemes with "&";
// a phoneme may carry a leading "¨" (end of the stressed stretch). The
// matcher puts ">" before the first output at or after the stressed vowel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal::orvan {

using PhonemeList = std::vector<std::string>;

// The tables these read and fill are the engine's (orvan_state.h): each
// function is given the ones it works on.
struct OrvanTables;

bool LoadRules(OrvanTables& tables, const std::string& path);
void ReleaseRules(OrvanTables& tables);
bool LoadExceptions(OrvanTables& tables, const std::string& path);
void ClearExceptions(OrvanTables& tables);

// The word with its replacement from the exceptions table; a final S or M
// is peeled off (and put back) to find a stem.
std::string ApplyException(const OrvanTables& tables, std::string_view word);

// 1-based position of the stressed vowel in the word, or 0.
int StressPosition(std::string_view word);
// Function words that carry no stress mark.
bool IsUnstressedWord(std::string_view word);

// Appends the phonemes of one word and an empty end-of-word line.
void WordToPhonemes(const OrvanTables& tables, std::string_view word, int stress, PhonemeList* list);

}  // namespace kal::orvan
