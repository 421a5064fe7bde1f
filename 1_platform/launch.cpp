// Detached start through the program starter (1_platform/programs.h): the
// child's standard streams are on the null device and it is not waited for.
#include "1_platform/launch.h"

#include "1_platform/programs.h"

namespace kal {

namespace {
LaunchHook& Hook() {
  static LaunchHook h;
  return h;
}
}  // namespace

void SetLaunchHookForTest(LaunchHook hook) { Hook() = std::move(hook); }

bool LaunchDetached(const std::string& program, const std::vector<std::string>& args, std::string* err) {
  if (Hook()) return Hook()(program, args);
  StartRequest req;
  req.program = program;
  req.args = args;
  req.streams = ChildStreams::kDetached;
  return StartProgram(req, err) > 0;
}

}  // namespace kal
