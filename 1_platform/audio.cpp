#include "1_platform/audio.h"

#include <cstdlib>

#include "1_platform/wave_file_audio.h"

namespace kal {

namespace {
std::unique_ptr<AudioDevice>& Device() {
  static std::unique_ptr<AudioDevice> d;
  return d;
}
}  // namespace

AudioDevice& Audio() {
  if (!Device()) {
    const char* file = std::getenv(kAudioFileVariable);
    Device() = file && *file ? MakeWaveFileAudio(file) : MakeHostAudio();
  }
  return *Device();
}

void SetAudio(std::unique_ptr<AudioDevice> device) {
  if (Device()) Device()->Close();
  Device() = std::move(device);
}

}  // namespace kal
