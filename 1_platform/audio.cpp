#include "1_platform/audio.h"

namespace kal {

namespace {
std::unique_ptr<AudioDevice>& Device() {
  static std::unique_ptr<AudioDevice> d;
  return d;
}
}  // namespace

AudioDevice& Audio() {
  if (!Device()) Device() = MakeHostAudio();
  return *Device();
}

void SetAudio(std::unique_ptr<AudioDevice> device) {
  if (Device()) Device()->Close();
  Device() = std::move(device);
}

}  // namespace kal
