#include "2_config/config_location.h"

#include "1_platform/host.h"

namespace kal {
namespace {

// The user's configuration folder, where Talven.ini belongs.
std::string UserFolder() { return UserConfigHome() + "/Talven"; }

std::string FileIn(const std::string& folder) { return HostPathUnder(folder, "Talven.ini"); }

// The folder one up, or "" at the top.
std::string ParentFolder(const std::string& host_path) {
  size_t sep = host_path.find_last_of("/\\");
  if (sep == std::string::npos) return "";
  std::string parent = host_path.substr(0, sep == 0 ? 1 : sep);
  return parent == host_path ? "" : parent;
}

// What the environment says the folders are. The Windows directory it names
// is compared as set; without one the directory is found under the drives
// folder, so a change to it shows in the watched stamps.
std::string FolderNames() {
  std::string names = UserConfigHome() + '\n' + DrivesFolder() + '\n';
  if (!GetEnvironment("TALVEN_WINDIR").empty()) names += WindowsFolder();
  return names;
}

// The user's folder when it holds Talven.ini, else the Windows directory
// when that holds one, else the user's folder (where the file will be made).
ConfigPlace FindIn(const std::string& user, const std::string& windir) {
  ConfigPlace p;
  std::string user_file = FileIn(user);
  p.legacy = FileIn(windir);
  bool in_windir = !HostExists(user_file) && HostExists(p.legacy);
  p.folder = in_windir ? windir : user;
  p.file = in_windir ? p.legacy : user_file;
  p.script_folder = ScriptPath(p.folder);
  p.program_folder = ScriptPath(ProgramFolder());
  return p;
}

}  // namespace

ConfigPlace FindConfigPlace() { return FindIn(UserFolder(), WindowsFolder()); }

bool ConfigLocation::StillHolds(const std::string& names) const {
  if (!known_ || names != names_) return false;
  HostFileStamp now;
  for (const Watch& w : watches_)
    if (!StampHostFolder(w.folder, &now) || !(now == w.stamp)) return false;
  return true;
}

// Watches the folder, or the nearest one above it that exists: the first
// change that could bring the folder or its Talven.ini into being, or take
// them away, changes that folder's entries. False when the stamp is too new
// to be trusted (or nothing could be stamped).
bool ConfigLocation::WatchNearest(const std::string& host_path) {
  for (std::string folder = host_path; !folder.empty(); folder = ParentFolder(folder)) {
    Watch w{folder, {}};
    if (!StampHostFolder(folder, &w.stamp)) continue;
    watches_.push_back(w);
    return StampSettled(w.stamp, settle_ns_);
  }
  return false;
}

const ConfigPlace& ConfigLocation::Place() {
  std::string names = FolderNames();
  if (StillHolds(names)) return place_;
  ++walks_;
  watches_.clear();
  // The stamps are taken before the walk, so a change made during it shows
  // as a new stamp at the next read.
  std::string user = UserFolder(), windir = WindowsFolder();
  bool user_settled = WatchNearest(user);
  bool windir_settled = WatchNearest(windir);
  place_ = FindIn(user, windir);
  names_ = std::move(names);
  known_ = user_settled && windir_settled;
  return place_;
}

}  // namespace kal
