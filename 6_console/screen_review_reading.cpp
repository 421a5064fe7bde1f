// Screen review reading words and ranges. With the recorded voice text is
// read word by word, so that a waiting key can cut in between words; a
// speech server gets whole rows, which it reads more naturally and stops by
// itself when a key comes.
#include <algorithm>
#include <string>
#include <vector>

#include "0_base/console_grid.h"
#include "0_base/word_letters.h"
#include "5_speech/speech.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/screen_review_session.h"

namespace kal {

namespace {

constexpr size_t kMaxSymbolRun = 3;

bool OnlyConsonants(const std::string& word) {
  return std::all_of(word.begin(), word.end(),
                     [](char c) { return IsConsonantLetter(static_cast<uint8_t>(c)); });
}

// Skips spaces up to `last`, then reads the word there (or a run of one
// symbol, told as at most three) and moves past it. False when only spaces
// were left.
bool SpeakNextWord(ReviewSession* s, int last) {
  const ReviewCells& cells = s->cells;
  while (s->column < last && cells.Char(s->row, s->column) == ' ') ++s->column;
  uint8_t c = cells.Char(s->row, s->column);
  if (s->column > last || c == ' ') return false;
  std::string word(1, static_cast<char>(c));
  ++s->column;
  if (IsWordChar(c)) {
    while (s->column <= last && IsWordChar(cells.Char(s->row, s->column))) {
      word.push_back(static_cast<char>(cells.Char(s->row, s->column++)));
      s->ShowPosition();
    }
    if (OnlyConsonants(word)) {
      SpellText(s->console.speech, word);
    } else {
      SpeakText(s->console.speech, word);
    }
    return true;
  }
  while (s->column <= last && cells.Char(s->row, s->column) == c) {
    if (word.size() < kMaxSymbolRun) word.push_back(static_cast<char>(c));
    ++s->column;
  }
  s->ShowPosition();
  SpeakText(s->console.speech, word);
  return true;
}

// One row from the position to `last`. False when a key stopped it.
bool ReadRowPart(ReviewSession* s, int last) {
  if (EngineActive(s->console.speech)) {
    if (KeyPressed(s->console.platform)) return false;
    std::string text = s->cells.Text(s->row, s->column, last);
    text.erase(text.find_last_not_of(' ') + 1);  // npos + 1 == 0: a blank row gives ""
    if (!text.empty()) SpeakText(s->console.speech, text);
    s->column = std::max(s->column, std::min(last, kReviewColumns) + 1);
    s->ShowPosition();
    return !KeyPressed(s->console.platform);
  }
  while (s->column <= last) {
    if (KeyPressed(s->console.platform)) return false;
    if (!SpeakNextWord(s, last)) break;
  }
  return !KeyPressed(s->console.platform);
}

}  // namespace

void ReviewSession::ShowPosition() const { GotoXY(console, std::min(column, kReviewColumns), row); }

void DrawReviewStrip(const ReviewSession& s) {
  const MagnifierSettings& m = s.magnifier;
  if (m.factor < 1 || m.factor > 10) return;
  ConsoleGrid& grid = s.grid;
  std::string text = s.cells.Text(s.row, 1, kReviewColumns);
  text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
  text.resize(static_cast<size_t>(grid.width() / m.factor), ' ');
  text.resize(static_cast<size_t>(grid.width()), ' ');
  uint8_t attr = static_cast<uint8_t>(m.background * 16 + m.letters);
  grid.SetTopOverlay(text, std::vector<uint8_t>(text.size(), attr), m.factor);
  RefreshConsole(s.console);
}

void RemoveReviewStrip(const ReviewSession& s) {
  s.grid.ClearTopOverlay();
  RefreshConsole(s.console);
}

void ReadReviewWord(ReviewSession* s) {
  if (EngineActive(s->console.speech) && KeyPressed(s->console.platform)) return;
  SpeakNextWord(s, kReviewColumns);
  if (s->column > kReviewColumns - 1) {
    Click(s->console.speech);
    s->column = s->cells.EndOfRow(s->row);
  }
}

void ReadReviewRange(ReviewSession* s, int r1, int c1, int r2, int c2) {
  if (r1 == r2 && c2 < c1) {
    ErrorBeep(s->console.speech);
    return;
  }
  s->row = r1;
  s->column = c1;
  for (int r = r1; r <= r2; ++r) {
    s->row = r;
    if (r > r1) s->column = 1;
    DrawReviewStrip(*s);
    if (!ReadRowPart(s, r == r2 ? c2 : kReviewColumns)) return;
    Click(s->console.speech);
  }
  if (c2 >= kReviewColumns) s->column = s->cells.EndOfRow(s->row);
}

void ReadReviewRangeRestored(ReviewSession* s, int r1, int c1, int r2, int c2) {
  int row = s->row, column = s->column;
  ReadReviewRange(s, r1, c1, r2, c2);
  s->row = row;
  s->column = column;
}

void ReviewUnknownKey(SpeechState& speech) {
  ErrorBeep(speech);
  Click(speech);
  ErrorBeep(speech);
}

}  // namespace kal
