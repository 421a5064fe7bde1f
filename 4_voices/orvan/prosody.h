// Timing and melody of the Orvan engine: the prosody file (".pro"), the
// diphone list (".dfn"), the tokenizer with its key-word classes, the
// intonation tagger, and the stage that turns the phoneme list into MBROLA
// phoneme-stream lines with durations and pitch points.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "4_voices/orvan/letter_rules.h"

namespace kal {
struct SpeechLog;
}

namespace kal::orvan {

struct TChave {
  std::string word;  // upper-cased
  std::string code;  // at most 2 characters
};

struct TProsodia {
  std::string previous, current, next;  // empty: any code
  std::string pattern;
};

// Everything the prosody file sets.
struct ProsodyTables {
  std::vector<std::pair<std::string, int>> durations;  // file order
  std::vector<TChave> keys;                            // sorted by word
  std::vector<TProsodia> rules;                        // file order
  int hertz = 230;
  int tabhertz[10] = {};
};

// Reads the three sections into tables.prosody; shows a message (Latin-1)
// and answers false on a missing file, a missing section or a malformed line.
// A message goes to the tables' sink, or else to standard error and log.
bool LoadProsody(OrvanTables& tables, const std::string& path, SpeechLog& log);
// Where the loader's messages go; by default standard error and the speech
// log. Tests capture them.
void SetProsodyMessageSink(OrvanTables& tables, std::function<void(const std::string&)> sink);

bool LoadDiphoneList(OrvanTables& tables, const std::string& path);
void ReleaseDiphoneList(OrvanTables& tables);
// Case-insensitive: "a-b" (two phoneme names joined by "-").
bool HasDiphone(const OrvanTables& tables, const std::string& first, const std::string& second);

// Normalised text -> lines "[CC]token", with "[--]" at phrase boundaries.
std::vector<std::string> Tokenize(const OrvanTables& tables, const std::string& text);
// Token lines -> "PPP|token" entries for BuildPhonemeList.
std::vector<std::string> TagIntonation(const OrvanTables& tables, const std::vector<std::string>& tokens);
// Phoneme list -> MBROLA lines "name ms [percent hertz]" and ";" comments.
std::vector<std::string> TimePhonemes(const OrvanTables& tables, const PhonemeList& list, double rate_factor, double pitch_factor);

}  // namespace kal::orvan
