// The parts of screen review as they work on one session: the review
// position over the grid's cells, the reading of words and ranges, and the
// commands that ask the user for more (search, row and column, two-letter
// reading commands). Shared by the screen_review*.cpp files only.
#pragma once

#include <cstdint>
#include <string>

#include "2_config/console_settings.h"
#include "6_console/screen_review_cells.h"

namespace kal {

struct Console;
struct SpeechState;

struct ReviewSession {
  ReviewSession(Console& reviewed, ConsoleGrid& shown) : console(reviewed), grid(shown), cells(shown) {}

  Console& console;   // the console reviewed (its search text)
  ConsoleGrid& grid;  // its grid, which the strip is drawn over
  ReviewCells cells;
  int row = 1;     // 1..rows
  int column = 1;  // 1..80, 81 for a moment past the last column
  MagnifierSettings magnifier;  // read once when review starts

  // The console cursor follows the review position.
  void ShowPosition() const;
};

// The low-vision strip over the top row shows the review row (its text
// without leading spaces) when magnification is on.
void DrawReviewStrip(const ReviewSession& s);
void RemoveReviewStrip(const ReviewSession& s);

// F1: the word at the position, then the position past it; at the end of
// the row a click and the end of the row.
void ReadReviewWord(ReviewSession* s);
// Reads from (r1, c1) to (r2, c2), leaving the position where the reading
// stopped (the end of the last row when c2 is 80 or more). A waiting key
// stops it at once.
void ReadReviewRange(ReviewSession* s, int r1, int c1, int r2, int c2);
// The same with the position put back afterwards.
void ReadReviewRangeRestored(ReviewSession* s, int r1, int c1, int r2, int c2);

// F5 (ask for the text) and Ctrl+F5 (the same text again).
void ReviewSearch(ReviewSession* s, bool ask);
// F6: two digits of row, two of column.
void ReviewGoTo(ReviewSession* s);
// A letter began a two-letter reading command: reads the second letter and
// runs it.
void ReviewTwoLetterCommand(ReviewSession* s, uint8_t first);

// "Error beep, click, error beep": the key means nothing here.
void ReviewUnknownKey(SpeechState& speech);

}  // namespace kal
