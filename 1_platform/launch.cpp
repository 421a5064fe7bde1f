// Detached start through the program starter (1_platform/programs.h): the
// child's standard streams are on the null device and it is not waited for.
#include "1_platform/launch.h"

#include "1_platform/programs.h"

namespace kal {

bool LaunchDetached(Platform& platform, const std::string& program, const std::vector<std::string>& args,
                    std::string* err) {
  StartRequest req;
  req.program = program;
  req.args = args;
  req.streams = ChildStreams::kDetached;
  return StartProgram(platform, req, err) > 0;
}

}  // namespace kal
