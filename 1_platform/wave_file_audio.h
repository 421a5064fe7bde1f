// An audio device that writes what it plays into a wave file, in real time:
// a piece counts as heard once the time it lasts has passed on the event
// loop's clock, as with a sound card. It lets a whole program run be heard
// afterwards (or checked by a test) on machines without a sound card.
//
// KALDORIN_AUDIO_FILE names the file; the process's audio device is then
// this one (see Audio in 1_platform/audio.h). The file's header gives the
// format of the first opening; pieces of later openings in another format
// are written as they come.
#pragma once

#include <memory>
#include <string>

#include "1_platform/audio.h"

namespace kal {

inline constexpr char kAudioFileVariable[] = "KALDORIN_AUDIO_FILE";

class EventLoop;

// Time passes on the loop's clock.
std::unique_ptr<AudioDevice> MakeWaveFileAudio(const std::string& host_path, EventLoop& loop);

}  // namespace kal
