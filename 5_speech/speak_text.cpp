// SpeakText with the recorded voice: the text is taken apart into zeros,
// numbers, runs of words and single characters, each spoken its own way.
//
//   - each leading "0" is "_zero";
//   - a number of up to six digits is read as number words; a longer one,
//     or one with hyphens inside (a telephone number, a date) is spelled;
//   - a run of letters and spaces goes to the word voice, except "www",
//     which is spelled; a hyphen joining two words is dropped;
//   - any other character is named, with pauses after punctuation; the
//     fifth and later repetitions of a character only click, so that a line
//     of "=====" is not read out in full.
#include <string>

#include "1_platform/pump.h"
#include "4_voices/number_words.h"
#include "5_speech/word_snippets.h"
#include "5_speech/speech.h"
#include "0_base/speech_log.h"
#include "5_speech/speech_state.h"
#include "4_voices/word_voice.h"

namespace kal {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }
bool IsWordChar(unsigned char c) { return IsLetter(c) || c == ' '; }

unsigned char At(const std::string& t, size_t i) { return i < t.size() ? static_cast<unsigned char>(t[i]) : 0; }

// A number: digits and hyphens from i on. Returns the position after it.
size_t SpeakNumberRun(SpeechState& s, const std::string& t, size_t i) {
  size_t j = i;
  while (j < t.size() && (IsDigit(At(t, j)) || t[j] == '-')) ++j;
  std::string run = t.substr(i, j - i);
  if (run.find('-') != std::string::npos || run.size() >= 7) SpellText(s, run);
  else SpeakWords(s, CardinalWords(std::stoll(run)), false);
  return j;
}

// A phrase: letters and spaces from i on. Returns the position after it.
size_t SpeakPhraseRun(SpeechState& s, std::string& t, size_t i) {
  size_t j = i;
  while (j < t.size() && IsWordChar(At(t, j))) ++j;
  std::string run = t.substr(i, j - i);
  if (UpperCaseText(run) == "WWW") {
    SpellText(s, run);
  } else if (run.find_first_not_of(' ') != std::string::npos) {
    SpeechLogScope log(SpeechLogOf(s), "phrase", run);
    Words(s).Speak(Words(s).Translate(run));
  }
  // Hyphenated words are spoken as two words without a pause.
  if (At(t, j) == '-' && IsLetter(At(t, j + 1))) t.erase(j, 1);
  return j;
}

// A punctuation mark at i: named, then the pause that belongs to it.
void SpeakPunctuation(SpeechState& s, const std::string& t, size_t i) {
  if (KeyPressed(s.platform)) return;
  WaitWhileSpeaking(s);
  unsigned char c = At(t, i);
  SpeakChar(s, c);
  bool space_follows = At(t, i + 1) == ' ';
  switch (c) {
    case '(': case ')': case ':': case ';': SpeechPause(s, s.pause_colon); break;
    case ',': case '-': if (space_follows) SpeechPause(s, s.pause_comma); break;
    case '.': if (space_follows) SpeechPause(s, s.pause_full); break;
    default: break;
  }
}

struct Repeats {
  unsigned char last = ' ';
  int count = 0;
};

// Any other character at i.
void SpeakOther(SpeechState& s, const std::string& t, size_t i, Repeats* rep) {
  unsigned char c = At(t, i);
  if (c == rep->last) {
    if (++rep->count > 3) {
      Click(s);
      c = ' ';
    }
  } else {
    rep->last = c;
    rep->count = 0;
  }
  if (c != '-') {
    if (t.compare(i, 3, "://") == 0) SpellText(s, std::string(1, static_cast<char>(c)));
    else if (c == '(' || c == ')' || c == ',' || c == '.' || c == ':' || c == ';') SpeakPunctuation(s, t, i);
    else if (c == '\t') PlayNamedSound(s, "_FON9");
    else if (c == '\n' || c == '\r' || c == ' ') {}
    else if (!KeyPressed(s.platform)) SpeakChar(s, c);
    return;
  }
  // A hyphen: a dash between words, a minus before a number, or itself.
  unsigned char next = t.size() - i < 3 ? ' ' : At(t, i + 1);
  if (next == ' ' || next == '-') SpeakPunctuation(s, t, i);
  else if (IsDigit(next)) PlayNamedSound(s, "_MENOS");
  else SpeakChar(s, '-');
}

}  // namespace

void SpeakRecorded(SpeechState& s, std::string_view text) {
  std::string t(text);
  t += ' ';
  s.stop = false;
  Repeats rep;
  size_t i = 0;
  while (!s.stop && i < t.size()) {
    if (KeyPressed(s.platform)) {
      StopSpeech(s);
      return;
    }
    unsigned char c = At(t, i);
    if (c == '0') {
      PlayNamedSound(s, "_zero");
      ++i;
    } else if (IsDigit(c)) {
      i = SpeakNumberRun(s, t, i);
    } else if (IsWordChar(c)) {
      i = SpeakPhraseRun(s, t, i);
    } else {
      SpeakOther(s, t, i, &rep);
      ++i;
    }
  }
}

}  // namespace kal
