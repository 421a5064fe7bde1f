// The guard of the process groups that must end with us, for the one end
// that runs no clean-up of ours: being killed (SIGKILL, or a signal whose
// default action ends us). The kernel then ends the programs we started
// (they asked for it, see child_spawn.cpp), but not what those started in
// turn.
//
// The guard is a small process forked from this one (twice, so that it is
// not our child), without exec, that holds the read end of a pipe whose
// only writer is this process. We tell it each group to watch and each
// group that is gone; when the pipe ends, which happens however we end, it
// asks the groups still listed to end, then, after half a second, ends by
// force those it still owns: a group is killed only while a process seen
// in it at the start still holds it (known by its pidfd where the kernel
// has them, else by its start time), since an emptied group's id may be
// given to another's by then. Between
// fork and its end it makes only async-signal-safe calls, since other
// threads of this process may hold locks at the moment of the fork.
// Internal to 1_platform/linux/.
#pragma once

#include <sys/types.h>

namespace kal {

// The groups one guard watches at most; a program that would need one more
// is not started (ChildGroups::Prepare).
constexpr int kMaxGuardedGroups = 1024;

class GroupGuard {
 public:
  GroupGuard() = default;
  // The guard's pipe ends: it ends the groups still watched.
  ~GroupGuard();
  GroupGuard(const GroupGuard&) = delete;
  GroupGuard& operator=(const GroupGuard&) = delete;
  // Starts the guard if it is not running yet. Done before a child is
  // spawned, so that only one write stands between the spawn and the watch
  // (a kill in between leaves nobody to end the child's group).
  void Prepare() { Started(); }
  // Starts watching the group led by leader (starting the guard on first use).
  void Watch(int leader);
  // The group is gone, or was ended by us: it is no longer watched.
  void Forget(int leader);

 private:
  bool Started();
  void Send(int message);
  int fd_ = -1;      // the write end of the pipe to the guard
  pid_t owner_ = 0;  // the process that started the guard (a fork must start its own)
};

}  // namespace kal
