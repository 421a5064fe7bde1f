// A running download's conversation with the person at the keyboard. The
// network layer only asks, between blocks, whether to stop and whether to
// click; the keys are read and answered here: Enter says how far the
// download has come, space turns the clicks on or off, Esc asks whether to
// stop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "7_net/net_user.h"

namespace kal {

struct Console;

// Takes every key waiting in the console's queue and answers it; true when
// the person asked to stop, or the run is ending.
bool AnswerDownloadKeys(Console& console, const std::function<DownloadProgress()>& progress, bool* ticks);

// The spoken progress report, one utterance.
// written: bytes in the file now; announced: the length still outstanding
// when the request was made (plus resumed gives the total).
std::string ProgressReport(bool unknown_length, int64_t written, int64_t announced, int64_t resumed,
                           const std::string& file);

}  // namespace kal
