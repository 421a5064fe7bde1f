// The word-to-phoneme tool behind "kaldorin --phonemes": one word per input
// line (UTF-8), one "word<TAB>phonemes<TAB>stress" line out, through the
// engine's own word path (exceptions, stress finder, rules).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "4_voices/orvan/orvan_engine.h"

namespace kal::orvan {

struct WordPronunciation {
  std::vector<std::string> phonemes;  // names without stress marks
  int stress = 0;                     // 1-based index of the stressed vowel, 0 when none
};

// One Latin-1 word through ApplyException, StressPosition, WordToPhonemes,
// with the rules and exceptions of tables.
WordPronunciation PronounceWord(const OrvanTables& tables, std::string_view word);

// Loads the word data into tables of its own, then answers line by line; the exit code.
int RunPhonemeTool(std::istream& in, std::ostream& out, std::ostream& err, const OrvanSettings& settings);

}  // namespace kal::orvan
