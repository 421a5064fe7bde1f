// The screen review loop: one key at a time, each acted on and the position
// clamped into the screen. A move out of the screen beeps and throws away
// the keys typed ahead, so that a held arrow key stops at the edge instead
// of running on.
#include "6_console/screen_review.h"

#include "0_base/console_grid.h"
#include "0_base/keys.h"
#include "1_platform/stop_request.h"
#include "5_speech/speech.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/key_decoder.h"
#include "6_console/screen_review_session.h"

namespace kal {

namespace {

// Ctrl+F5 (search again) is not named in the key catalogue.
constexpr uint8_t kKeyCtrlF5 = kKeyF5 + kCtrlFOffset;

// The two-letter reading commands are typed with the letters A to Z.
bool IsCommandLetter(uint8_t k) { return (k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z'); }

void ReadRow(ReviewSession* s) {
  ReadReviewRangeRestored(s, s->row, 1, s->row, kReviewColumns);
}

// Up, Down, Page Up, Page Down: a row from its start.
void GoToRowAndRead(ReviewSession* s, int row) {
  s->row = row;
  s->column = 1;
  ReadRow(s);
}

void PreviousWord(ReviewSession* s) {
  int c = s->column - 1;
  while (c >= 1 && s->cells.Char(s->row, c) == ' ') --c;
  if (c < 1) {
    ErrorBeep(s->console.speech);
    return;
  }
  while (c > 1 && s->cells.Char(s->row, c - 1) != ' ') --c;
  s->column = c;
  Click(s->console.speech);
}

void NextWord(ReviewSession* s) {
  int c = s->column;
  while (c <= kReviewColumns && s->cells.Char(s->row, c) != ' ') ++c;
  while (c <= kReviewColumns && s->cells.Char(s->row, c) == ' ') ++c;
  if (c > kReviewColumns) {
    ErrorBeep(s->console.speech);
    s->column = s->cells.EndOfRow(s->row);
    return;
  }
  s->column = c;
  Click(s->console.speech);
}

void NextField(ReviewSession* s) {
  int first, last;
  s->cells.Field(s->row, s->column, &first, &last);
  if (last + 2 > kReviewColumns) {
    s->column = s->cells.EndOfRow(s->row);
    return;
  }
  s->column = last + 2;
  Click(s->console.speech);
}

void PreviousField(ReviewSession* s) {
  int first, last;
  s->cells.Field(s->row, s->column, &first, &last);
  s->column = first - 2;
  Click(s->console.speech);
}

void ToLetter(ReviewSession* s, bool first) {
  int row, column;
  bool found = first ? s->cells.FirstLetter(&row, &column) : s->cells.LastLetter(&row, &column);
  if (!found) {
    ErrorBeep(s->console.speech);
    return;
  }
  s->row = row;
  s->column = column;
  ReadRow(s);
}

void HandleExtended(ReviewSession* s, uint8_t code) {
  int field_first, field_last;
  switch (code) {
    case kKeyLeft:
      if (s->column <= 1) {
        ErrorBeep(s->console.speech);
        s->column = 1;
        break;
      }
      --s->column;
      SpeakChar(s->console.speech, s->cells.Char(s->row, s->column));
      break;
    case kKeyRight:
      SpeakChar(s->console.speech, s->cells.Char(s->row, s->column));
      ++s->column;
      break;
    case kKeyUp:
      if (s->row <= 1) {
        ErrorBeep(s->console.speech);
        break;
      }
      GoToRowAndRead(s, s->row - 1);
      break;
    case kKeyDown:
      if (s->row >= s->cells.rows()) {
        ErrorBeep(s->console.speech);
        break;
      }
      s->row++;
      s->column = 1;
      Click(s->console.speech);
      ReadRow(s);
      break;
    case kKeyPgUp: GoToRowAndRead(s, 1); break;
    case kKeyPgDn: GoToRowAndRead(s, s->cells.rows()); break;
    case kKeyHome: s->column = 1; break;
    case kKeyEnd: s->column = s->cells.EndOfRow(s->row); break;
    case kKeyCtrlLeft: PreviousWord(s); break;
    case kKeyCtrlRight: NextWord(s); break;
    case kKeyF1: ReadReviewWord(s); break;
    case kKeyCtrlF1:
      s->cells.Field(s->row, s->column, &field_first, &field_last);
      ReadReviewRangeRestored(s, s->row, field_first, s->row, field_last);
      break;
    case kKeyF5: ReviewSearch(s, true); break;
    case kKeyCtrlF5: ReviewSearch(s, false); break;
    case kKeyF6: ReviewGoTo(s); break;
    case kKeyCtrlPgUp: ToLetter(s, true); break;
    case kKeyCtrlPgDn: ToLetter(s, false); break;
    default: ReviewUnknownKey(s->console.speech);
  }
}

// False when the key was Esc.
bool HandleKey(ReviewSession* s, uint8_t k, uint8_t mods) {
  switch (k) {
    case kKeyEsc: return false;
    case kKeyEnter:
      s->row++;
      s->column = 1;
      if (s->row <= s->cells.rows()) Click(s->console.speech);
      break;
    case ' ': ReadRow(s); break;
    case kKeyBackspace: HandleExtended(s, kKeyLeft); break;
    case kKeyTab:
      if (mods & kModShift) {
        PreviousField(s);
      } else {
        NextField(s);
      }
      break;
    case kKeyCtrlK:
    case kKeyCtrlL: SpeakText(s->console.speech, std::to_string(s->row) + " " + std::to_string(s->column)); break;
    case kKeyCtrlC: CopyAndSay(s->console, s->cells.ScreenText()); break;
    default:
      if (IsCommandLetter(k)) {
        ReviewTwoLetterCommand(s, k);
      } else {
        ReviewUnknownKey(s->console.speech);
      }
  }
  return true;
}

// Out of the screen: a beep (which also drops the keys typed ahead) and the
// nearest place inside.
void Clamp(ReviewSession* s) {
  int rows = s->cells.rows();
  if (s->column < 1) {
    ErrorBeep(s->console.speech);
    s->column = 1;
  } else if (s->column > kReviewColumns + 1) {
    ErrorBeep(s->console.speech);
    s->column = kReviewColumns;
  }
  if (s->row < 1) {
    ErrorBeep(s->console.speech);
    s->row = 1;
  } else if (s->row > rows) {
    ErrorBeep(s->console.speech);
    s->row = rows;
  }
}

}  // namespace

void ScreenReview(Console& console) {
  InitConsole(console);
  ReviewSession s(console, GridOf(console));
  s.magnifier = ReadMagnifierSettings(console.config);
  int saved_column = WhereX(console), saved_row = WhereY(console);
  s.row = saved_row;
  s.column = saved_column;
  ErrorBeep(console.speech);
  for (;;) {
    s.ShowPosition();
    DrawReviewStrip(s);
    uint8_t k = ReadKey(console.platform);
    if (StopRequested(console.platform)) {  // the program is ending: leave at once, silently
      RemoveReviewStrip(s);
      return;
    }
    uint8_t mods = LastKeyModifiers(console);
    StopSpeech(console.speech);
    if (k == 0) {
      HandleExtended(&s, ReadKey(console.platform));
    } else if (!HandleKey(&s, k, mods)) {
      break;
    }
    Clamp(&s);
  }
  ErrorBeep(console.speech);
  ErrorBeep(console.speech);
  RemoveReviewStrip(s);
  GotoXY(console, saved_column, saved_row);
}

}  // namespace kal
