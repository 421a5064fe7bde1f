// Starting one child process: fork and exec with the stream set-up, the
// process group and the terminal hand-over the program starter asks for.
// Internal to 1_platform/linux/.
#pragma once

#include <string>
#include <vector>

#include "1_platform/programs.h"

namespace kal {

struct ChildSetup {
  std::string path;               // the program's file (already found along PATH)
  std::vector<std::string> argv;  // argv[0] included
  int fds[3] = {-1, -1, -1};      // standard streams: -1 keeps ours
  bool null_streams = false;      // all three on the null device (fds ignored)
  bool own_group = false;         // a process group of its own
  bool take_terminal = false;     // and make it the terminal's foreground group
  bool end_with_us = false;       // killed when this process ends, however it ends
};

// Starts the child. Returns its id, or 0 with errno's text in *err and its
// kind in *why (each when given) when the fork or the exec failed (the
// exec's failure is reported back through a pipe, so a missing or unusable
// program is known at once).
int SpawnChild(const ChildSetup& setup, std::string* err, StartFailure* why = nullptr);

// The kind of a failed start from errno.
StartFailure StartFailureOfErrno(int e);

}  // namespace kal
