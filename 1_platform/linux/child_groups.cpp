#include "1_platform/linux/child_groups.h"
#include "1_platform/linux/small_file.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kal {
namespace {

// The groups that have a member other than their leader, from /proc.
std::set<int> GroupsWithMembers() {
  std::set<int> busy;
  DIR* d = opendir("/proc");
  if (!d) return busy;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
    std::string stat = ReadFirstLine(std::string("/proc/") + e->d_name + "/stat");
    if (stat.empty()) continue;
    // After the command name in parentheses: state, parent, group.
    size_t paren = stat.rfind(')');
    if (paren == std::string::npos) continue;
    char state = 0;
    int parent = 0, group = 0;
    if (std::sscanf(stat.c_str() + paren + 1, " %c %d %d", &state, &parent, &group) != 3) continue;
    if (group != std::atoi(e->d_name)) busy.insert(group);
  }
  closedir(d);
  return busy;
}

void Reap(int pid) { waitpid(pid, nullptr, WNOHANG); }

}  // namespace

void ChildGroups::Add(int leader) {
  groups_.insert(leader);
  guard_.Watch(leader);
}

void ChildGroups::Drop(int leader) {
  if (groups_.erase(leader)) guard_.Forget(leader);
  held_.erase(leader);
}

bool ChildGroups::HoldEndedLeader(int leader) {
  if (!Has(leader)) return false;
  if (GroupsWithMembers().count(leader) == 0) {
    Drop(leader);
    return false;
  }
  held_.insert(leader);
  return true;
}

void ChildGroups::Forget(int leader) { Drop(leader); }

void ChildGroups::ReleaseEmpty() {
  if (held_.empty()) return;
  std::set<int> busy = GroupsWithMembers();
  for (auto it = held_.begin(); it != held_.end();) {
    if (busy.count(*it)) {
      ++it;
      continue;
    }
    // Forgotten by the guard before the reap frees the leader's id.
    if (groups_.erase(*it)) guard_.Forget(*it);
    Reap(*it);
    it = held_.erase(it);
  }
}

void ChildGroups::SignalAll(int sig) const {
  for (int leader : groups_) {
    kill(-leader, sig);
    kill(-leader, SIGCONT);
  }
}

}  // namespace kal
