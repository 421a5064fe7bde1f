// Screen review commands that ask the user for more than one key: the
// search (F5, Ctrl+F5), the jump to a row and column (F6) and the
// two-letter reading commands (first letter I, T or F: from the start, the
// whole, from the position; second letter T, L or C: screen, row, field).
#include <string>

#include "0_base/keys.h"
#include "1_platform/stop_request.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/screen_review.h"
#include "6_console/screen_review_session.h"

namespace kal {

namespace {

constexpr char kAskSearchText[] = "Qual texto";
constexpr char kAskRowAndColumn[] = "Entre linha e coluna";

// Reads the search text with each key spoken. False when Esc cancelled it.
bool AskSearchText(SpeechState& speech, std::string* text) {
  SpeakText(speech, kAskSearchText);
  text->clear();
  for (;;) {
    uint8_t k = ReadKey(speech.platform);
    if (StopRequested(speech.platform)) return false;
    StopSpeech(speech);
    if (k == kKeyEnter) return true;
    if (k == kKeyEsc) return false;
    if (k == 0) {
      ReadKey(speech.platform);  // extended keys are not text
    } else if (k == kKeyBackspace) {
      if (text->empty()) continue;
      uint8_t gone = static_cast<uint8_t>(text->back());
      text->pop_back();
      PlayNamedSound(speech, "_DEL");
      SpeakChar(speech, gone);
    } else if (k >= 32) {
      text->push_back(static_cast<char>(k));
      SpeakChar(speech, k);
    }
  }
}

// A digit key, spoken; -1 for anything else.
int ReadDigit(SpeechState& speech) {
  uint8_t k = ReadKey(speech.platform);
  if (StopRequested(speech.platform)) return -1;
  StopSpeech(speech);
  if (k == 0) {
    ReadKey(speech.platform);
    return -1;
  }
  SpeakChar(speech, k);
  return k >= '0' && k <= '9' ? k - '0' : -1;
}

uint8_t Upper(uint8_t c) { return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c; }

}  // namespace

bool TakeSearchText(Console& console, bool ask, std::string* text) {
  // The search text is kept in the console between searches for the whole run.
  if (ask) {
    std::string typed;
    if (!AskSearchText(console.speech, &typed)) return false;
    if (!typed.empty()) console.review_search = typed;
  }
  *text = console.review_search;
  return true;
}

void AnswerSearch(SpeechState& speech, bool found) {
  if (found) {
    Click(speech);
    return;
  }
  ErrorBeep(speech);
  ErrorBeep(speech);
}

void ReviewSearch(ReviewSession* s, bool ask) {
  std::string text;
  if (!TakeSearchText(s->console, ask, &text)) return;
  int row, column;
  bool found = s->cells.Find(text, s->row, s->column, &row, &column);
  if (found) {
    s->row = row;
    s->column = column;
  }
  AnswerSearch(s->console.speech, found);
}

void ReviewGoTo(ReviewSession* s) {
  SpeakText(s->console.speech, kAskRowAndColumn);
  int digits[4];
  for (int& d : digits) {
    d = ReadDigit(s->console.speech);
    if (StopRequested(s->console.platform)) return;
    if (d < 0) {
      ErrorBeep(s->console.speech);
      ErrorBeep(s->console.speech);
      return;
    }
  }
  s->row = digits[0] * 10 + digits[1];
  s->column = digits[2] * 10 + digits[3];
}

void ReviewTwoLetterCommand(ReviewSession* s, uint8_t first) {
  first = Upper(first);
  if (first == 'L') first = 'T';
  if (first != 'I' && first != 'T' && first != 'F') return ReviewUnknownKey(s->console.speech);
  uint8_t second = ReadKey(s->console.platform);
  if (StopRequested(s->console.platform)) return;
  StopSpeech(s->console.speech);
  if (second == 0) ReadKey(s->console.platform);
  second = Upper(second);
  int row = s->row, column = s->column, rows = s->cells.rows();
  int field_first, field_last;
  s->cells.Field(row, column, &field_first, &field_last);
  switch (first * 256 + second) {
    case 'I' * 256 + 'T': return ReadReviewRange(s, 1, 1, row, column - 1);
    case 'I' * 256 + 'L': return ReadReviewRangeRestored(s, row, 1, row, column - 1);
    case 'I' * 256 + 'C': return ReadReviewRangeRestored(s, row, field_first, row, column);
    case 'T' * 256 + 'T': return ReadReviewRange(s, 1, 1, rows, kReviewColumns);
    case 'T' * 256 + 'L': return ReadReviewRangeRestored(s, row, 1, row, kReviewColumns);
    case 'T' * 256 + 'C': return ReadReviewRangeRestored(s, row, field_first, row, field_last);
    case 'F' * 256 + 'T': return ReadReviewRange(s, row, column, rows, kReviewColumns);
    case 'F' * 256 + 'L': return ReadReviewRangeRestored(s, row, column, row, kReviewColumns);
    case 'F' * 256 + 'C': return ReadReviewRangeRestored(s, row, column, row, field_last);
    default: return ReviewUnknownKey(s->console.speech);
  }
}

}  // namespace kal
