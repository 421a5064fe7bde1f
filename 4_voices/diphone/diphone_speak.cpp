// Speaking the unit notation: unit strings are cut from the notation, each
// string is split into syllables (leading and final consonants, glides and
// a final "s" go apart), each syllable into piece names ("$" + letters,
// with "CIRC" or "TIL" for the nasal marks "^" and "~"), and each name is
// looked up in the index. A missing name is decomposed into smaller ones,
// replaced by noise when tiny, or skipped.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "0_base/whole_part.h"
#include "4_voices/diphone/diphone_state.h"
#include "4_voices/voices.h"

namespace kal {
namespace diphone {
namespace {

constexpr size_t kMaxWord = 40;
constexpr size_t kMaxName = 12;
constexpr size_t kFade = 48;  // samples faded out where a piece is cut short

using Served = DiphoneServed;

bool In(char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }
bool IsVowel(char c) { return In(c, "AEIOUaeiouwy"); }
bool IsConsonant(char c) { return In(c, "bcdfgjklmnpqrstvxz"); }
bool IsGlide(char c) { return In(c, "wy"); }
bool IsNasalMark(char c) { return In(c, "^~"); }
bool IsStressed(char c) { return In(c, "AEIOU"); }
bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// Reads the recorded piece and adds the whole part of factor x length bytes
// of it.
void AddRecorded(SynthState& s, const IndexRecord& rec, size_t length, double factor) {
  size_t n = static_cast<size_t>(WholePart(factor * static_cast<double>(length)));
  if (n == 0 || s.data == nullptr) return;
  std::vector<uint8_t> bytes(n);
  if (std::fseek(s.data, static_cast<long>(rec.offset), SEEK_SET) != 0) return;
  n = std::fread(bytes.data(), 1, n, s.data);
  if (n < rec.length) {
    // Cut inside the sound: a short fade to the middle line avoids a click.
    size_t fade = std::min(kFade, n / 4);
    for (size_t i = 0; i < fade; ++i) {
      size_t at = n - fade + i;
      double g = static_cast<double>(fade - i) / static_cast<double>(fade + 1);
      bytes[at] = static_cast<uint8_t>(std::lround(128.0 + (bytes[at] - 128.0) * g));
    }
  }
  AddSound(s, bytes.data(), n);
}

Served SpeakPiece(SynthState& s, std::string name, double f) {
  if (name.size() > kMaxName) name.resize(kMaxName);
  if (const IndexRecord* rec = FindPiece(s.index, name)) {
    size_t length = rec->length;
    if (s.stress < 2 && name.size() > 2) {
      long cut = static_cast<long>(length) - s.cut;
      cut = std::max<long>(cut, s.minimum);
      length = static_cast<size_t>(std::clamp<long>(cut, 0, rec->length));
    }
    AddRecorded(s, *rec, length, f);
    return Served::kWhole;
  }
  if (name.size() <= 2) {
    AddNoise(s);
    return Served::kNoise;
  }
  const char last = name.back();
  if (IsVowel(last)) {
    SpeakPiece(s, name.substr(0, name.size() - 1), 0.9 * f);
    SpeakPiece(s, std::string("$") + last, f);
    return Served::kDecomposed;
  }
  if (EndsWith(name, "CIRC") && name.size() >= 7) {
    const char vowel = name[name.size() - 5];
    SpeakPiece(s, name.substr(0, name.size() - 5), 0.9 * f);
    SpeakPiece(s, std::string("$") + vowel + "CIRC", f);
    return Served::kDecomposed;
  }
  if (EndsWith(name, "TIL")) {
    std::string base = name.substr(0, name.size() - 3);
    const char vowel = base.back();
    if (!In(vowel, "IUiu")) {
      // The oral vowel, closed and whole, then the nasal tail.
      int saved = s.stress;
      s.stress = 2;
      SpeakPiece(s, base + "CIRC", 0.9 * f);
      s.stress = saved;
    } else {
      SpeakPiece(s, base, 0.9 * f);
    }
    SpeakPiece(s, "$nn", 0.9);
    return Served::kDecomposed;
  }
  return Served::kSkipped;
}

// A piece asked for by a syllable: counted by how it was served.
void SpeakCountedPiece(SynthState& s, const std::string& name, double f) {
  DiphonePieceCounts& c = s.counts;
  const Served how = SpeakPiece(s, name, f);
  if (s.observer) s.observer(name, how);
  switch (how) {
    case Served::kWhole: ++c.whole; break;
    case Served::kDecomposed: ++c.decomposed; break;
    case Served::kNoise: ++c.noise; break;
    case Served::kSkipped: ++c.skipped; break;
  }
}

// A spelled character: the letter recording "_" + decimal code + ".wav".
// The unit "_TRACO" is the recorded dash.
void SpeakSpelled(SynthState& s, std::string_view syllable) {
  if (syllable.size() < 2) return;
  unsigned char code = static_cast<unsigned char>(syllable[1]);
  if (syllable == "_TRACO") code = '-';
  std::vector<uint8_t> samples;
  const std::string path = s.letters_folder + "_" + std::to_string(code) + ".wav";
  if (ReadWaveSamples(path, &samples)) AddSound(s, samples.data(), samples.size());
}

void SpeakSyllable(SynthState& s, std::string_view syl, double f) {
  if (syl.empty()) return;
  if (syl[0] == '_') {
    SpeakSpelled(s, syl);
    return;
  }
  bool stressed = false;
  for (char c : syl) stressed = stressed || IsStressed(c);
  if (stressed) s.stress = 2;
  std::string name = "$";
  for (char c : syl) {
    if (IsNasalMark(c)) {
      name += c == '^' ? "CIRC" : "TIL";
      SpeakCountedPiece(s, name, f);
      name = "$";
    } else {
      name += c;
    }
  }
  if (name.size() > 1) SpeakCountedPiece(s, name, f);
  if (stressed) s.stress = 0;
}

bool BeginsCluster(std::string_view w) {
  if (w.size() <= 2 || !IsConsonant(w[0]) || !IsConsonant(w[1])) return false;
  for (std::string_view pair : {"dj", "nh", "rr", "ks"})
    if (w.substr(0, 2) == pair) return false;
  return w.substr(0, 3) != "tch";
}

}  // namespace

void SpeakUnitWord(SynthState& s, std::string_view w, double f) {
  const size_t n = w.size();
  if (n == 0) return;
  const char last = w[n - 1];
  const char before = n >= 2 ? w[n - 2] : '\0';
  if (BeginsCluster(w)) {
    SpeakSyllable(s, w.substr(0, 1), 1.0);
    SpeakUnitWord(s, w.substr(1), f);
  } else if (n > 2 && EndsWith(w, "rr")) {
    SpeakUnitWord(s, w.substr(0, n - 2), f);
    SpeakSyllable(s, "rr", f);
  } else if (n > 2 && IsConsonant(last)) {
    SpeakUnitWord(s, w.substr(0, n - 1), f);
    SpeakUnitWord(s, w.substr(n - 1), f);
  } else if (n > 2 && IsGlide(last) && IsVowel(before)) {
    SpeakUnitWord(s, w.substr(0, n - 1), 0.6);
    SpeakSyllable(s, w.substr(n - 2), f);
  } else if (n >= 2 && IsGlide(last) && IsNasalMark(before)) {
    const char vowel = n >= 3 ? w[n - 3] : '\0';
    if (n > 3) SpeakUnitWord(s, std::string(w.substr(0, n - 2)) + (before == '~' ? "^" : ""), 0.6);
    std::string tail;
    if (vowel != '\0') tail += vowel;
    tail += last;
    tail += before;
    SpeakSyllable(s, tail, f);
  } else if (last == 's' && w != "_s") {
    SpeakUnitWord(s, w.substr(0, n - 1), 0.7);
    SpeakSyllable(s, "s", f);
  } else {
    SpeakSyllable(s, w, f);
  }
}

}  // namespace diphone

namespace {

constexpr size_t kLongUnitString = 9;

int PausePunctuation(const std::string& unit) {
  if (unit.size() != 2 || unit[0] != '_') return 0;
  switch (unit[1]) {
    case ',': return 4000;
    case ';': return 6000;
    case '.': return 8000;
    case ':': return 8000;
  }
  return 0;
}

// Cuts the next unit string from *p; *term gets the character that ended
// it ('\0' at the end of the notation).
std::string NextUnitString(diphone::SynthState& synth, std::string_view t, size_t* p, char* term) {
  std::string s;
  *term = '\0';
  if (*p < t.size() && t[*p] == '[') {
    synth.stress = 1;
    ++*p;
  }
  while (*p < t.size()) {
    const char c = t[*p];
    if (c == ' ' || c == ']' || (c == '/' && s.size() >= kLongUnitString)) {
      *term = c;
      ++*p;
      break;
    }
    ++*p;
    if (c == '/') continue;
    if (c == '_' && *p < t.size()) {
      s += '_';
      s += t[(*p)++];
    } else if (c == '|') {
      s = "_TRACO";
    } else {
      s += c;
    }
  }
  return s;
}

}  // namespace

void DiphoneSpeak(Voices& voices, std::string_view notation, int mode) {
  diphone::SynthState& s = *voices.synth;
  if (!s.started) return;
  s.fill = diphone::kHeaderSize;
  s.stress = 1;
  size_t p = 0;
  while (p < notation.size()) {
    char term;
    std::string unit = NextUnitString(s, notation, &p, &term);
    int pause = mode == 0 ? PausePunctuation(unit) : 0;
    if (pause > 0) {
      diphone::AddSilence(s, pause);
    } else {
      if (unit.size() > diphone::kMaxWord) unit.resize(diphone::kMaxWord);
      diphone::SpeakUnitWord(s, unit, 1.0);
    }
    if (term != '\0' && term != ' ') diphone::AddSilence(s, static_cast<size_t>(std::max(0, s.word_gap)));
  }
  diphone::FlushBuffer(s);
}

}  // namespace kal
