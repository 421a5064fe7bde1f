// Timing and pitch: each phoneme line of the utterance gets its duration
// (table value, lengthened when stressed, shortened in long words, scaled by
// the speaking rate) and at most one pitch point taken from its word's
// pattern. Where the database lacks the diphone between two phonemes, a
// short transition is put between them.
#include <algorithm>
#include <cstdlib>

#include "0_base/whole_part.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/prosody.h"

namespace kal::orvan {

namespace {

constexpr char kStressMark = '>';
constexpr char kEndOfStress = '\xA8';  // ¨
constexpr int kStressedFactor = 145;

int TableDuration(const ProsodyTables& prosody, const std::string& name) {
  for (const auto& [n, ms] : prosody.durations) {
    if (n == name) return ms;
  }
  return 100;
}

// Per-utterance state of the walk.
struct TimingState {
  explicit TimingState(const OrvanTables& t) : tables(t) {}
  const OrvanTables& tables;
  std::string pattern = "555";
  int pitch_state = 0;
  int factor = 100;
  size_t word_length = 0;
  std::string previous = "_";
  std::string current;
};

// " percent hertz" for one digit of the pattern, or "" when it gives none.
std::string PitchPoint(const ProsodyTables& prosody, char digit, int percent, double pitch_factor) {
  if (digit < '0' || digit > '9') return "";
  int table = prosody.tabhertz[digit - '0'];
  if (table == 0) return "";
  long hz = static_cast<long>(table * pitch_factor * prosody.hertz) / 100;
  // A pitch far below the usual range must not give MBROLA a frequency it
  // rejects (it stops at a malformed line).
  if (hz <= 0) return "";
  return " " + std::to_string(percent) + " " + std::to_string(hz);
}

// Base duration of a pause line; the line becomes "_".
int PauseDuration(const ProsodyTables& prosody, std::string* line) {
  int d;
  if (*line == "_") d = 100;
  else if (line->size() > 1 && (*line)[1] == ' ') d = std::atoi(line->c_str() + 2);
  else d = TableDuration(prosody, *line);
  *line = "_";
  return d;
}

std::string TimePhoneme(std::string line, bool end_of_word, TimingState& s, double rate, double pitch) {
  if (!line.empty() && line[0] == kStressMark) {
    line.erase(0, 1);
    if (!line.empty() && line[0] == kEndOfStress) line.erase(0, 1);
    s.factor = kStressedFactor;
    s.pitch_state = 2;
  } else if (!line.empty() && line[0] == kEndOfStress) {
    line.erase(0, 1);
    s.factor = 100;
  }
  int d;
  if (!line.empty() && line[0] == '_') {
    d = PauseDuration(s.tables.prosody, &line);
  } else {
    d = TableDuration(s.tables.prosody, line);
    if (s.pitch_state < 2) {
      if (s.word_length > 13) d = d * 80 / 100;
      else if (s.word_length > 9) d = d * 90 / 100;
    }
  }
  // A rate beyond the usual range must not give MBROLA a negative length.
  int duration = std::max(1, static_cast<int>(WholePart(d * s.factor * rate)) / 100);
  s.current = line;
  std::string out = line + " " + std::to_string(duration);
  if (s.pitch_state == 0) {
    out += PitchPoint(s.tables.prosody, s.pattern[0], 50, pitch);
    s.pitch_state = 1;
  } else if (s.pitch_state == 2) {
    out += PitchPoint(s.tables.prosody, s.pattern[1], 80, pitch);
    s.pitch_state = 3;
  } else if (s.pitch_state == 3 && end_of_word) {
    out += PitchPoint(s.tables.prosody, s.pattern[2], 50, pitch);
  }
  return out;
}

// Inserts a transition before the line when the database lacks the diphone.
void CheckDiphone(const std::string& line, TimingState& s, std::vector<std::string>* out) {
  if (s.current.empty()) return;
  if (!HasDiphone(s.tables, s.previous, s.current)) {
    if (s.previous == "r2" && HasDiphone(s.tables, "r2", "_")) out->push_back("_ 50");
    else if (HasDiphone(s.tables, s.previous, "y")) out->push_back("y 50");
    else out->push_back("_ 50");
  }
  if (!line.empty()) s.previous = s.current;
}

}  // namespace

std::vector<std::string> TimePhonemes(const OrvanTables& tables, const PhonemeList& list, double rate_factor,
                                      double pitch_factor) {
  TimingState s(tables);
  std::vector<std::string> out;
  out.reserve(list.size() + list.size() / 4);
  for (size_t i = 0; i < list.size(); ++i) {
    bool end_of_word = i + 1 == list.size() || list[i + 1].empty();
    std::string line = list[i];
    if (line.empty()) {
      s.factor = 100;
      s.current.clear();
    } else if (line[0] == ';' && line.size() > 4 && line[4] == '|') {
      s.pattern = line.substr(1, 3);
      line = ";" + line.substr(5);
      s.word_length = line.size();
      s.pitch_state = 0;
    } else {
      line = TimePhoneme(line, end_of_word, s, rate_factor, pitch_factor);
    }
    CheckDiphone(line, s, &out);
    out.push_back(std::move(line));
  }
  return out;
}

}  // namespace kal::orvan
