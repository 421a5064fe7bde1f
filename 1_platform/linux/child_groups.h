// The process groups of the programs that must end with us. Each such
// program leads a group of its own, and whatever it starts joins that group
// (a shell's commands, a download helper's helpers), so ending the group
// ends them all, even after the leader itself is gone.
//
// A group is named by its leader's id. While the leader is unreaped (a
// zombie), the system keeps that id reserved, so signalling the group can
// never reach an unrelated process that got the id again. An ended leader
// whose group still has members is therefore held unreaped until the group
// is empty. The groups are also watched by a guard (group_guard.h) that
// ends them should we be killed. Internal to 1_platform/linux/.
#pragma once

#include <set>

#include "1_platform/linux/group_guard.h"

namespace kal {

class ChildGroups {
 public:
  // A child whose group will be added is about to be spawned. False when
  // the guard watches as many groups as it can: the child must not start.
  bool Prepare() {
    if (groups_.size() >= static_cast<size_t>(kMaxGuardedGroups)) return false;
    guard_.Prepare();
    return true;
  }
  // A group led by child leader, to be ended with us.
  void Add(int leader);
  bool Has(int leader) const { return groups_.count(leader) > 0; }
  // The leader has ended and is not reaped yet. True when its group still has
  // other members: the leader is held unreaped. False: the caller reaps it,
  // and the group is forgotten.
  bool HoldEndedLeader(int leader);
  // The leader is gone (reaped elsewhere): forgets its group.
  void Forget(int leader);
  // Reaps held leaders whose groups have emptied and forgets those groups.
  void ReleaseEmpty();
  // Sends sig to every group (and SIGCONT, so a stopped group hears it).
  void SignalAll(int sig) const;
  bool Empty() const { return groups_.empty(); }

 private:
  // Forgets the group, here and in the guard.
  void Drop(int leader);

  std::set<int> groups_;  // leaders of the groups that end with us
  std::set<int> held_;    // of those, leaders ended and held unreaped
  GroupGuard guard_;
};

}  // namespace kal
