// The desktop automation back end and the console's window id, in the
// platform state.
#include "1_platform/automation.h"

#include "1_platform/platform.h"

namespace kal {

DesktopAutomation& Desktop(Platform& p) {
  if (!p.desktop) p.desktop = MakeHostAutomation(p);
  return *p.desktop;
}

void SetDesktopAutomation(Platform& p, std::unique_ptr<DesktopAutomation> desktop) { p.desktop = std::move(desktop); }

void SetConsoleWindowId(Platform& p, uint64_t id) { p.console_window = id; }

uint64_t ExplicitConsoleWindowId(const Platform& p) { return p.console_window; }

}  // namespace kal
