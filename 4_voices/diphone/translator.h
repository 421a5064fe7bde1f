// The word translator of the recorded voice: turns a run of written words
// (Latin-1 bytes) into the unit notation that the diphone word synthesizer
// speaks. Every word becomes "[unit/unit/...]"; the units come from a
// letter-to-sound rule table ("regras.rgr") after an exceptions table
// ("portug.exc") has replaced whole words. A blank inside a unit separates
// syllables; an upper-case vowel marks the stressed syllable.
#pragma once

#include <string>
#include <string_view>

namespace kal {

namespace translator {
struct TranslatorState;
}

// Loads the rules file (host path); false when it cannot be opened. The
// previous rules are dropped first. Malformed lines are ignored.
bool LoadTranslatorRules(translator::TranslatorState& t, const std::string& path);

// Loads the exceptions file (host path), at most 15000 entries, and sorts
// them; false when it cannot be opened.
bool LoadTranslatorExceptions(translator::TranslatorState& t, const std::string& path);

// Drops the rules (the exceptions stay until ClearTranslatorExceptions).
void ReleaseTranslatorRules(translator::TranslatorState& t);
void ClearTranslatorExceptions(translator::TranslatorState& t);

// The unit notation of a run of words, by the loaded tables of t.
std::string TranslateWords(const translator::TranslatorState& t, std::string_view text);

}  // namespace kal
