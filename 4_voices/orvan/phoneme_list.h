// The phoneme list of one utterance, built from the tagged tokens: a word
// header line (";" + pattern + "|" + word) before each token, the phoneme
// lines of words, pause lines for punctuation, an empty line after each
// word. A final pass links a final r or s to a following vowel.
#pragma once

#include <string>
#include <vector>

#include "4_voices/orvan/letter_rules.h"

namespace kal::orvan {

// entries: "PPP|token" lines from TagIntonation.
PhonemeList BuildPhonemeList(const OrvanTables& tables, const std::vector<std::string>& entries);

// Final "r2" becomes "r" and "s2" becomes "z" before a word that starts
// with a vowel phoneme.
void ApplyLiaison(PhonemeList* list);

}  // namespace kal::orvan
