#include "1_platform/power.h"

#include "1_platform/platform.h"

namespace kal {

PowerStatus ReadPowerStatus() {
  Platform* p = InstalledPlatform();
  if (p && p->pinned_power) return *p->pinned_power;
  return ReadMachinePowerStatus();
}

}  // namespace kal
