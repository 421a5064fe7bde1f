// The refreshable braille display of the console: it shows the row the
// console's cursor is on, and its keys type into the console's key queue.
//
// The console calls FollowCursorRow whenever its grid may have changed; a
// row is sent only when it differs from the one sent last (another row, or
// other text). Each row sent is transcribed (braille_transcribe.h), turned
// into cells (braille_cells.h) and written to the display, and recorded in
// the braille log when one is open.
//
// With no display (no server, no device, a dropped connection) the console
// runs on without braille and nothing is said; a new connection is tried at
// the next row sent, at most once every few seconds.
//
// The display's state is a part of the console's (console_state.h), which
// each function is given.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "1_platform/braille.h"

namespace kal {

class ConsoleGrid;
struct Console;

// Installs the display back end (main: BrlAPI; tests: a fake). nullptr, the
// start state, means no display at all.
void SetBrailleDevice(Console& console, std::unique_ptr<BrailleDevice> device);

// Connects to the display when the console is created. True when one
// answered; its keys are then watched through the event loop.
bool OpenBrailleDisplay(Console& console);
bool BrailleAttached(Console& console);

// Sends the cursor's row when it is not the one sent last.
void FollowCursorRow(Console& console, const ConsoleGrid& grid);

// Shows one row of text (Latin-1) on the display and records it in the log.
void WriteBrailleRow(Console& console, std::string_view text);

// Takes the keys the display sent into the key queue (the event loop calls
// it when the display's descriptor is readable). Keys that do not fit are
// dropped, as typed keys are.
void TakeBrailleKeys(Console& console);

// The braille log: every row sent, one line each, as "ROW<TAB>TEXT<TAB>
// BRAILLE" in UTF-8, with the 1-based row number, the row's text and its
// transcription, trailing blanks left out. False when the file cannot be
// opened (appended to).
bool OpenBrailleLog(Console& console, const std::string& path);
void CloseBrailleLog(Console& console);

// Milliseconds between two attempts to reach a display that is not there.
constexpr int kBrailleRetryMs = 3000;

}  // namespace kal
