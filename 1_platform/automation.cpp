// The desktop automation back end and the console's window id, in the
// installed platform state.
#include "1_platform/automation.h"

#include "1_platform/platform.h"

namespace kal {

DesktopAutomation& Desktop(Platform& p) {
  if (!p.desktop) p.desktop = MakeHostAutomation();
  return *p.desktop;
}

void SetDesktopAutomation(Platform& p, std::unique_ptr<DesktopAutomation> desktop) { p.desktop = std::move(desktop); }

void SetConsoleWindowId(uint64_t id) {
  if (Platform* p = InstalledPlatform()) p->console_window = id;
}

uint64_t ExplicitConsoleWindowId() {
  Platform* p = InstalledPlatform();
  return p ? p->console_window : 0;
}

}  // namespace kal
