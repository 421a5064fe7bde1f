// Mapping of scripts' Windows-style file names onto the Linux file system:
// drive letters under the drives folder, "\" as a separator, components found
// without regard to letter case, Latin-1 names stored as UTF-8.
#include "1_platform/paths.h"

#include <dirent.h>
#include <limits.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "0_base/latin1.h"
#include "1_platform/path_parts.h"

namespace kal {
namespace {

std::string HomeFolder() {
  const char* home = getenv("HOME");
  if (home && *home) return home;
  if (struct passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string Join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return folder + "/" + std::string(name);
}

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return path;
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string CurrentHostFolder() {
  char buf[PATH_MAX];
  if (getcwd(buf, sizeof buf)) return buf;
  return "/";
}

// An absolute host path: a relative setting would move with the current
// folder, which scripts change.
std::string Absolute(std::string path) {
  if (!path.empty() && path[0] == '/') return path;
  return Join(CurrentHostFolder(), path);
}

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool PathPresent(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The on-disk name of the entry of `folder` that the Latin-1 component names:
// the exact UTF-8 name when it exists, else the first entry (by name) equal
// to it after Latin-1 upper-casing, else "" when there is none.
std::string MatchComponent(const std::string& folder, std::string_view component) {
  std::string utf8 = Latin1ToUtf8(component);
  if (PathPresent(Join(folder, utf8))) return utf8;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return "";
  std::string want = FoldFileName(component);
  std::string best;
  while (struct dirent* e = readdir(dir)) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    // A name on disk that is not UTF-8 is taken byte by byte as Latin-1.
    if (FoldFileName(Utf8ToLatin1(name)) != want) continue;
    if (best.empty() || name < best) best = std::string(name);
  }
  closedir(dir);
  return best;
}

// Walks the components of `rest` from `start`, never climbing above `root`.
std::string Walk(std::string cur, const std::string& root, std::string_view rest) {
  bool exists = HostIsFolder(cur);
  ForEachComponent(rest, [&](std::string_view comp) {
    if (comp == "..") {
      if (cur != root) cur = Parent(cur);
      exists = HostIsFolder(cur);
      return;
    }
    std::string found = exists ? MatchComponent(cur, comp) : std::string();
    if (found.empty()) {
      exists = false;
      cur = Join(cur, Latin1ToUtf8(comp));
    } else {
      cur = Join(cur, found);
      exists = HostIsFolder(cur);
    }
  });
  return cur;
}

std::string DriveRoot(char letter) {
  char name[2] = {static_cast<char>(letter | 0x20), 0};
  return Walk(DrivesFolder(), DrivesFolder(), name);
}

// The drive folder of `host` when it lies in `base` ("<base>/c"), or "".
// `rest` receives what follows the drive folder.
std::string DriveUnder(const std::string& base, const std::string& host, std::string* rest) {
  if (host.size() < base.size() + 2 || host.compare(0, base.size(), base) != 0) return "";
  if (host[base.size()] != '/' || !IsDriveLetter(host[base.size() + 1])) return "";
  size_t end = base.size() + 2;
  if (end < host.size() && host[end] != '/') return "";
  if (rest) *rest = end < host.size() ? host.substr(end + 1) : std::string();
  return host.substr(0, end);
}

// The drive folder a host path lies on ("<drives>/c"), or "" when it lies
// outside the drives folder, under the drives folder's name as set or, when
// that does not hold it, under its resolved name (the setting may pass
// through a link). The resolving reads every component of the name, so it
// is done only when needed: relative sound names come here at every letter.
std::string DriveOf(const std::string& host, std::string* rest) {
  std::string drives = DrivesFolder();
  std::string drive = DriveUnder(drives, host, rest);
  if (!drive.empty()) return drive;
  char real[PATH_MAX];
  if (!realpath(drives.c_str(), real) || drives == real) return "";
  return DriveUnder(real, host, rest);
}

}  // namespace

std::string DrivesFolder() {
  return StripTrailingSlashes(
      Absolute(EnvOr("TALVEN_DRIVES", HomeFolder() + "/.local/share/talven/drives")));
}

std::string WindowsFolder() {
  const char* v = getenv("TALVEN_WINDIR");
  if (v && *v) return StripTrailingSlashes(Absolute(v));
  return HostPath("C:\\windows");
}

std::string ProgramFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return CurrentHostFolder();
  return Parent(std::string(buf, static_cast<size_t>(n)));
}

std::string UserConfigHome() {
  return StripTrailingSlashes(Absolute(EnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config")));
}

std::string HostPath(std::string_view p) {
  if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
    std::string root = DriveRoot(p[0]);
    return Walk(root, root, p.substr(2));
  }
  if (!p.empty() && p[0] == '/') return Walk("/", "/", p.substr(1));
  std::string cwd = CurrentHostFolder();
  std::string drive = DriveOf(cwd, nullptr);
  if (!p.empty() && p[0] == '\\') {
    std::string root = drive.empty() ? DriveRoot('c') : drive;
    return Walk(root, root, p.substr(1));
  }
  return Walk(cwd, drive.empty() ? "/" : drive, p);
}

std::string HostPathUnder(std::string_view host_folder, std::string_view script_relative) {
  std::string base = StripTrailingSlashes(std::string(host_folder));
  return Walk(base, base, script_relative);
}

std::string ScriptPath(std::string_view host_path) {
  std::string host(host_path);
  std::string rest;
  std::string drive = DriveOf(host, &rest);
  return drive.empty() ? Utf8ToLatin1(host) : DrivePathText(drive.back(), rest);
}

std::string CurrentFolder() { return ScriptPath(CurrentHostFolder()); }

bool SetCurrentFolder(std::string_view script_path) {
  std::string host = HostPath(script_path);
  return HostIsFolder(host) && chdir(host.c_str()) == 0;
}

}  // namespace kal
