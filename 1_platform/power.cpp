#include "1_platform/power.h"

#include "1_platform/platform.h"

namespace kal {

PowerStatus ReadPowerStatus(const Platform& p) {
  if (p.pinned_power) return *p.pinned_power;
  return ReadMachinePowerStatus();
}

}  // namespace kal
