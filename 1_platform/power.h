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

struct Platform;

// The current state: the one pinned in the platform state (platform.h;
// tests pin one), else the machine's.
PowerStatus ReadPowerStatus(const Platform& platform);
// The machine's state (Linux: /sys/class/power_supply).
PowerStatus ReadMachinePowerStatus();
// The same, read from another folder laid out like /sys/class/power_supply.
PowerStatus ReadPowerStatusFrom(const std::string& folder);

}  // namespace kal
