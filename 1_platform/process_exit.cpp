#include <vector>

#include "1_platform/process.h"

namespace kal {
namespace {
std::vector<std::function<void()>>& Cleanups() {
  static std::vector<std::function<void()>> v;
  return v;
}
}  // namespace

void AtProgramExit(std::function<void()> cleanup) { Cleanups().push_back(std::move(cleanup)); }

void RunExitCleanups() {
  auto cleanups = std::move(Cleanups());
  Cleanups().clear();
  for (auto it = cleanups.rbegin(); it != cleanups.rend(); ++it) (*it)();
}

}  // namespace kal
