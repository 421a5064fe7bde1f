// The machine's power state: whether it has a battery, its charge, and
// whether it runs on mains power.
#pragma once

#include <string>

namespace kal {

struct PowerStatus {
  bool has_battery = false;
  int percent = -1;       // 0-100, -1 unknown
  int on_mains = -1;      // 1 on mains, 0 on battery, -1 unknown
};

// The current state (Linux: /sys/class/power_supply).
PowerStatus ReadPowerStatus();
// The same, read from another folder laid out like /sys/class/power_supply.
PowerStatus ReadPowerStatusFrom(const std::string& folder);
// Tests: answer with this state instead (nullptr: the real one again).
void PinPowerStatusForTest(const PowerStatus* status);

}  // namespace kal
