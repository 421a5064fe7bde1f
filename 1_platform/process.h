// Clean-ups for the end of the process. Nothing below main ends the
// process (the end of a run travels back to main as a RunEnd, see
// 1_platform/stop_request.h); main runs these clean-ups when a run was
// stopped from outside its script, before it returns.
#pragma once

#include <functional>

namespace kal {

struct Platform;

// Clean-ups that must run when a run is stopped (terminal restore, audio
// close), kept in the platform state.
void AtProgramExit(Platform& platform, std::function<void()> cleanup);

// Runs the registered clean-ups, last registered first, once each.
void RunExitCleanups(Platform& platform);

}  // namespace kal
