#include "1_platform/audio.h"

#include <cstdlib>

#include "1_platform/platform.h"
#include "1_platform/wave_file_audio.h"

namespace kal {

AudioDevice& Audio(Platform& platform) {
  std::unique_ptr<AudioDevice>& device = platform.audio;
  if (!device) {
    const char* file = std::getenv(kAudioFileVariable);
    device = file && *file ? MakeWaveFileAudio(file, platform.loop) : MakeHostAudio();
  }
  return *device;
}

void SetAudio(Platform& p, std::unique_ptr<AudioDevice> device) {
  if (p.audio) p.audio->Close();
  p.audio = std::move(device);
}

}  // namespace kal
