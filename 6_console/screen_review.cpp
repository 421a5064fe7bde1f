// The screen review loop: one key at a time, each acted on and the position
// clamped into the screen. A move out of the screen beeps and throws away
// the keys typed ahead, so that a held arrow key stops at the edge instead
// of running on.
#include "6_console/screen_review.h"

#include "0_base/console_grid.h"
#include "5_speech/speech.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/key_decoder.h"
#include "6_console/screen_review_session.h"

namespace kal {

namespace {

// Extended codes the review acts on.
enum : uint8_t {
  kF1 = 59, kF5 = 63, kF6 = 64, kHome = 71, kUp = 72, kPgUp = 73, kLeft = 75, kRight = 77,
  kEnd = 79, kDown = 80, kPgDn = 81, kCtrlF1 = 94, kCtrlF5 = 98, kCtrlLeft = 115,
  kCtrlRight = 116, kCtrlPgDn = 118, kCtrlPgUp = 132,
};
// Plain keys.
enum : uint8_t {
  kCtrlC = 3, kBackspace = 8, kTab = 9, kCtrlK = 11, kCtrlL = 12, kEnter = 13, kEsc = 27,
  kSpace = 32,
};

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
    ErrorBeep();
    return;
  }
  while (c > 1 && s->cells.Char(s->row, c - 1) != ' ') --c;
  s->column = c;
  Click();
}

void NextWord(ReviewSession* s) {
  int c = s->column;
  while (c <= kReviewColumns && s->cells.Char(s->row, c) != ' ') ++c;
  while (c <= kReviewColumns && s->cells.Char(s->row, c) == ' ') ++c;
  if (c > kReviewColumns) {
    ErrorBeep();
    s->column = s->cells.EndOfRow(s->row);
    return;
  }
  s->column = c;
  Click();
}

void NextField(ReviewSession* s) {
  int first, last;
  s->cells.Field(s->row, s->column, &first, &last);
  if (last + 2 > kReviewColumns) {
    s->column = s->cells.EndOfRow(s->row);
    return;
  }
  s->column = last + 2;
  Click();
}

void PreviousField(ReviewSession* s) {
  int first, last;
  s->cells.Field(s->row, s->column, &first, &last);
  s->column = first - 2;
  Click();
}

void ToLetter(ReviewSession* s, bool first) {
  int row, column;
  bool found = first ? s->cells.FirstLetter(&row, &column) : s->cells.LastLetter(&row, &column);
  if (!found) {
    ErrorBeep();
    return;
  }
  s->row = row;
  s->column = column;
  ReadRow(s);
}

void HandleExtended(ReviewSession* s, uint8_t code) {
  int field_first, field_last;
  switch (code) {
    case kLeft:
      if (s->column <= 1) {
        ErrorBeep();
        s->column = 1;
        break;
      }
      --s->column;
      SpeakChar(s->cells.Char(s->row, s->column));
      break;
    case kRight:
      SpeakChar(s->cells.Char(s->row, s->column));
      ++s->column;
      break;
    case kUp:
      if (s->row <= 1) {
        ErrorBeep();
        break;
      }
      GoToRowAndRead(s, s->row - 1);
      break;
    case kDown:
      if (s->row >= s->cells.rows()) {
        ErrorBeep();
        break;
      }
      s->row++;
      s->column = 1;
      Click();
      ReadRow(s);
      break;
    case kPgUp: GoToRowAndRead(s, 1); break;
    case kPgDn: GoToRowAndRead(s, s->cells.rows()); break;
    case kHome: s->column = 1; break;
    case kEnd: s->column = s->cells.EndOfRow(s->row); break;
    case kCtrlLeft: PreviousWord(s); break;
    case kCtrlRight: NextWord(s); break;
    case kF1: ReadReviewWord(s); break;
    case kCtrlF1:
      s->cells.Field(s->row, s->column, &field_first, &field_last);
      ReadReviewRangeRestored(s, s->row, field_first, s->row, field_last);
      break;
    case kF5: ReviewSearch(s, true); break;
    case kCtrlF5: ReviewSearch(s, false); break;
    case kF6: ReviewGoTo(s); break;
    case kCtrlPgUp: ToLetter(s, true); break;
    case kCtrlPgDn: ToLetter(s, false); break;
    default: ReviewUnknownKey();
  }
}

// False when the key was Esc.
bool HandleKey(ReviewSession* s, uint8_t k, uint8_t mods) {
  switch (k) {
    case kEsc: return false;
    case kEnter:
      s->row++;
      s->column = 1;
      if (s->row <= s->cells.rows()) Click();
      break;
    case kSpace: ReadRow(s); break;
    case kBackspace: HandleExtended(s, kLeft); break;
    case kTab:
      if (mods & kModShift) {
        PreviousField(s);
      } else {
        NextField(s);
      }
      break;
    case kCtrlK:
    case kCtrlL: SpeakText(std::to_string(s->row) + " " + std::to_string(s->column)); break;
    case kCtrlC: CopyToClipboard(s->cells.ScreenText()); break;
    default:
      if (IsReviewLetter(k)) {
        ReviewTwoLetterCommand(s, k);
      } else {
        ReviewUnknownKey();
      }
  }
  return true;
}

// Out of the screen: a beep (which also drops the keys typed ahead) and the
// nearest place inside.
void Clamp(ReviewSession* s) {
  int rows = s->cells.rows();
  if (s->column < 1) {
    ErrorBeep();
    s->column = 1;
  } else if (s->column > kReviewColumns + 1) {
    ErrorBeep();
    s->column = kReviewColumns;
  }
  if (s->row < 1) {
    ErrorBeep();
    s->row = 1;
  } else if (s->row > rows) {
    ErrorBeep();
    s->row = rows;
  }
}

}  // namespace

void ScreenReview() {
  InitConsole();
  ReviewSession s(Grid());
  s.magnifier = ReadMagnifierSettings();
  int saved_column = WhereX(), saved_row = WhereY();
  s.row = saved_row;
  s.column = saved_column;
  ErrorBeep();
  for (;;) {
    s.ShowPosition();
    DrawReviewStrip(s);
    uint8_t k = ReadKey();
    uint8_t mods = LastKeyModifiers();
    StopSpeech();
    if (k == 0) {
      HandleExtended(&s, ReadKey());
    } else if (!HandleKey(&s, k, mods)) {
      break;
    }
    Clamp(&s);
  }
  ErrorBeep();
  ErrorBeep();
  RemoveReviewStrip();
  GotoXY(saved_column, saved_row);
}

void ResetScreenReviewForTest() { ResetReviewSearchText(); }

}  // namespace kal
