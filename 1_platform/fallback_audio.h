// A device that plays on a first choice of back end and, when that one
// cannot open, on a second one from then on (made only then). On Linux the
// lean ALSA device comes first and the sound library that reaches every
// sound server second.
#pragma once

#include <functional>
#include <memory>

#include "1_platform/audio.h"

namespace kal {

using AudioMaker = std::function<std::unique_ptr<AudioDevice>()>;

std::unique_ptr<AudioDevice> MakeFallbackAudio(std::unique_ptr<AudioDevice> first, AudioMaker second);

}  // namespace kal
