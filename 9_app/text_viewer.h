// The speaking text viewer: the program that opens the Zelquora report (the
// family's editor on the original system). It shows a text file in the
// console and reads it aloud: line by line, block by block (a block is a run
// of lines between blank lines: one station in the radio report), character
// by character; it spells a line, searches as screen review does, reads a
// web address in short or in full and copies a line to the clipboard. Every
// key answers, one it has no use for with the error beep; a key cuts the
// speech. The keys are listed in RunTextViewer's loop and in the reference.
#pragma once

#include <cstddef>
#include <string>

#include "9_app/station_player.h"
#include "9_app/text_view.h"

namespace kal {

struct Console;
struct Network;

// A file larger than these is not shown: a report is some hundred lines.
inline constexpr size_t kMaxViewedBytes = 16u << 20;
inline constexpr size_t kMaxViewedLines = 100000;

// Runs the viewer on the file (a host path or a Windows path of the drives
// folder) in the console. Enter plays the current line's station with
// player (a station page is fetched over network to find its stream).
// Returns 0 when the user ended it, 1 when the file cannot be read,
// is not a plain file or passes the bounds above (after saying so; the
// bounds are checked as the file is read).
int RunTextViewer(Console& console, Network& network, const std::string& path, StationPlayer& player);

}  // namespace kal
