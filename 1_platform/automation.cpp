// The process-wide desktop automation back end and the console's window id.
#include "1_platform/automation.h"

namespace kal {
namespace {

struct AutomationState {
  std::unique_ptr<DesktopAutomation> desktop;
  uint64_t console_window = 0;
};

AutomationState& S() {
  static AutomationState s;
  return s;
}

}  // namespace

DesktopAutomation& Desktop() {
  auto& s = S();
  if (!s.desktop) s.desktop = MakeHostAutomation();
  return *s.desktop;
}

void SetDesktopAutomation(std::unique_ptr<DesktopAutomation> desktop) { S().desktop = std::move(desktop); }

void SetConsoleWindowId(uint64_t id) { S().console_window = id; }
uint64_t ExplicitConsoleWindowId() { return S().console_window; }

}  // namespace kal
