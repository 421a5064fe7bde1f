// Starting another program without waiting for it: a web browser, a
// document's viewer, a program named by the user.
#pragma once

#include <string>
#include <vector>

namespace kal {

struct Platform;

// Starts program (a host path, or a name looked up in PATH) with the
// arguments, in the current folder, detached, through the platform state's
// program starter (programs.h): it is not waited for and does not share the
// terminal. False with *err when it could not start.
bool LaunchDetached(Platform& platform, const std::string& program, const std::vector<std::string>& args,
                    std::string* err);

}  // namespace kal
