// A small interpreter of multimedia command strings over the wave player.
// It knows wave files only:
//   open FILE [type waveaudio] [alias NAME]   (FILE may be in double quotes)
//   play NAME-OR-FILE [wait]                   (a file is opened on the way)
//   status NAME mode                           "playing" or "stopped"
//   stop NAME, close NAME, close all
// Every other string, and every failure, answers with the empty reply.
#pragma once

#include <string>
#include <string_view>

namespace kal {

std::string SendMciString(std::string_view command);

// Forgets every open device and stops what plays (tests, interpreter reset).
void ResetMci();

}  // namespace kal
