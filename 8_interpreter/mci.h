// A small interpreter of multimedia command strings over the wave player.
// It knows wave files only:
//   open FILE [type waveaudio] [alias NAME]   (FILE may be in double quotes)
//   play NAME-OR-FILE [wait]                   (a file is opened on the way)
//   status NAME mode                           "playing" or "stopped"
//   stop NAME, close NAME, close all
// Every other string, and every failure, answers with the empty reply.
// The files play on the wave player given with each string.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace kal {

struct WavePlayer;

// The open devices of one interpreter.
struct MciDevices {
  std::map<std::string, std::string> devices;  // upper-cased alias -> file
  std::string playing;                          // alias of the playing device
};

std::string SendMciString(WavePlayer& player, MciDevices& mci, std::string_view command);

}  // namespace kal
