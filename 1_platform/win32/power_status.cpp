// Power state from GetSystemPowerStatus.
#include <windows.h>

#include "1_platform/power.h"

namespace kal {

// The folder form is Linux's; Windows has no such folder to read.
PowerStatus ReadPowerStatusFrom(const std::string&) { return PowerStatus(); }

PowerStatus ReadMachinePowerStatus() {
  PowerStatus st;
  SYSTEM_POWER_STATUS s;
  if (!GetSystemPowerStatus(&s)) return st;
  // 128: no system battery; 255: unknown.
  st.has_battery = s.BatteryFlag != 128 && s.BatteryFlag != 255;
  if (st.has_battery && s.BatteryLifePercent <= 100) st.percent = s.BatteryLifePercent;
  if (s.ACLineStatus == 0 || s.ACLineStatus == 1) st.on_mains = s.ACLineStatus;
  return st;
}

}  // namespace kal
