#include <vector>

#include "1_platform/platform.h"
#include "1_platform/process.h"

namespace kal {

void AtProgramExit(Platform& p, std::function<void()> cleanup) { p.exit_cleanups.push_back(std::move(cleanup)); }

void RunExitCleanups(Platform& p) {
  auto cleanups = std::move(p.exit_cleanups);
  p.exit_cleanups.clear();
  for (auto it = cleanups.rbegin(); it != cleanups.rend(); ++it) (*it)();
}

}  // namespace kal
