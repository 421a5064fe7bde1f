// Screen review: the user explores what is on the console grid without
// changing it. A review position moves over the cells on its own, keys read
// characters, words, fields, rows, ranges or the whole screen aloud, and Esc
// puts the console cursor back where it was.
//
// Entered from the field editor (Alt+Ctrl+F9) and from the console menu.
#pragma once

#include <string>

namespace kal {

// Runs the review loop until Esc.
void ScreenReview();

// The search text is kept for the whole run; tests start without one.
void ResetScreenReviewForTest();

}  // namespace kal
