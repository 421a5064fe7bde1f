#include "1_platform/audio.h"

#include <cstdlib>

#include "1_platform/platform.h"
#include "1_platform/wave_file_audio.h"

namespace kal {

// The installed platform's device, opened on first use (an installed
// platform is required, as main and every test program install one).
AudioDevice& Audio() {
  std::unique_ptr<AudioDevice>& device = InstalledPlatform()->audio;
  if (!device) {
    const char* file = std::getenv(kAudioFileVariable);
    device = file && *file ? MakeWaveFileAudio(file) : MakeHostAudio();
  }
  return *device;
}

void SetAudio(std::unique_ptr<AudioDevice> device) {
  Platform* p = InstalledPlatform();
  if (!p) return;
  if (p->audio) p->audio->Close();
  p->audio = std::move(device);
}

}  // namespace kal
