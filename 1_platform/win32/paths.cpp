// Scripts' file names on Windows: "C:\a\b" is the file C:\a\b itself.
// Host paths are native paths in UTF-8 with "\" separators; the file system
// already finds names without regard to letter case. Names come from scripts
// as Latin-1 and go back to them as Latin-1.
//
// Tests (and anyone who wants a private set of drives) set TALVEN_DRIVES:
// drive letters then live under that folder, "<drives>\c\a\b", exactly as on
// Linux, so that the same scripts and expectations run on both systems.
// On Linux a host path ("/tmp/x") cannot be taken for a drive path; here
// it can, so the private drives leave alone the folder that holds them: a
// full name that lies in it ("<sandbox>\x.wav", "<sandbox>\drives\c\a") is
// that host file itself. That is where a test keeps the files it hands over
// by host path, beside its drives. The machine's other names are mapped.
#include "1_platform/paths.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "0_base/latin1.h"
#include "1_platform/path_parts.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

std::string EnvOr(const wchar_t* name, const std::string& fallback) {
  wchar_t buf[32768];
  DWORD n = GetEnvironmentVariableW(name, buf, 32768);
  if (n == 0 || n >= 32768) return fallback;
  return Narrow(std::wstring_view(buf, n));
}

std::string Backslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string StripTrailingSeparators(std::string path) {
  // "C:\" keeps its separator: without it the name means the drive's
  // current folder.
  while (path.size() > 3 && IsPathSeparator(path.back())) path.pop_back();
  return path;
}

// The absolute form of a host path: "..", "." and doubled separators
// resolved, relative names taken from the current folder.
std::string FullPath(const std::string& host) {
  std::wstring w = Widen(Backslashes(host));
  if (w.empty()) w = L".";
  wchar_t buf[32768];
  DWORD n = GetFullPathNameW(w.c_str(), 32768, buf, nullptr);
  if (n == 0 || n >= 32768) return Backslashes(host);
  return Narrow(std::wstring_view(buf, n));
}

std::string CurrentHostFolder() {
  wchar_t buf[32768];
  DWORD n = GetCurrentDirectoryW(32768, buf);
  if (n == 0 || n >= 32768) return "C:\\";
  return StripTrailingSeparators(Narrow(std::wstring_view(buf, n)));
}

std::string Join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (IsPathSeparator(folder.back())) return folder + std::string(name);
  return folder + "\\" + std::string(name);
}

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return path;
  if (slash <= 2) return path.substr(0, slash + 1);  // "C:\"
  return path.substr(0, slash);
}

// Walks the components of `rest` (Latin-1) from `cur`, never climbing above
// `root`.
std::string Walk(std::string cur, const std::string& root, std::string_view rest) {
  ForEachComponent(rest, [&](std::string_view comp) {
    if (comp != "..") {
      cur = Join(cur, Latin1ToUtf8(comp));
    } else if (FoldFileName(cur) != FoldFileName(root)) {
      cur = Parent(cur);
    }
  });
  return cur;
}

bool Mapped() { return !DrivesFolder().empty(); }

std::string DriveRoot(char letter) {
  return Join(DrivesFolder(), std::string(1, static_cast<char>(letter | 0x20)));
}

// With private drives: the drive folder a host path lies on ("<drives>\c"),
// or "" when it lies outside. `rest` receives what follows.
std::string DriveOf(const std::string& host, std::string* rest) {
  std::string base = DrivesFolder();
  if (base.empty() || host.size() < base.size() + 2) return "";
  if (FoldFileName(host.substr(0, base.size())) != FoldFileName(base)) return "";
  if (!IsPathSeparator(host[base.size()]) || !IsDriveLetter(host[base.size() + 1])) return "";
  size_t end = base.size() + 2;
  if (end < host.size() && !IsPathSeparator(host[end])) return "";
  if (rest) *rest = end < host.size() ? host.substr(end + 1) : std::string();
  return host.substr(0, end);
}

// With private drives: the folder that holds the drives folder, unless that
// is a drive's root (then everything on the drive would be left unmapped).
std::string DrivesHome() {
  std::string base = DrivesFolder();
  size_t slash = base.find_last_of('\\');
  if (slash == std::string::npos || slash <= 2) return "";
  return base.substr(0, slash);
}

// True when a full host path lies inside `folder` (letter case aside).
bool Inside(const std::string& host, const std::string& folder) {
  return !folder.empty() && host.size() > folder.size() && IsPathSeparator(host[folder.size()]) &&
         FoldFileName(host.substr(0, folder.size())) == FoldFileName(folder);
}

// A full native name: "X:\..." (not "X:a", which is relative to the drive's
// current folder).
bool IsFullName(std::string_view p) {
  return p.size() >= 3 && IsDriveLetter(p[0]) && p[1] == ':' && IsPathSeparator(p[2]);
}

// A full path with each existing component spelt as the file system keeps
// it ("C:\NOVA" for the folder made as "Nova" becomes "C:\Nova"): the
// current folder keeps the spelling it was entered by, and scripts are
// shown the folder's own name. Links are not followed.
std::string NamesAsOnDisk(const std::string& full) {
  if (full.size() < 3 || full[1] != ':' || !IsPathSeparator(full[2])) return full;
  std::string out = full.substr(0, 3);
  size_t i = 3;
  while (i < full.size()) {
    size_t j = full.find_first_of("\\/", i);
    if (j == std::string::npos) j = full.size();
    std::string comp = full.substr(i, j - i);
    i = j + 1;
    if (comp.empty()) continue;
    std::string path = Join(out, comp);
    WIN32_FIND_DATAW fd;
    HANDLE h = comp.find_first_of("*?") == std::string::npos ? FindFirstFileW(Widen(path).c_str(), &fd)
                                                              : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE) return Join(out, full.substr(i - comp.size() - 1));
    FindClose(h);
    out = Join(out, Narrow(fd.cFileName));
  }
  return out;
}

}  // namespace

std::string DrivesFolder() {
  std::string drives = EnvOr(L"TALVEN_DRIVES", "");
  if (drives.empty()) return "";
  return StripTrailingSeparators(FullPath(drives));
}

std::string WindowsFolder() {
  std::string v = EnvOr(L"TALVEN_WINDIR", "");
  if (!v.empty()) return StripTrailingSeparators(FullPath(v));
  if (Mapped()) return HostPath("C:\\windows");
  wchar_t buf[MAX_PATH];
  UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "C:\\Windows";
  return StripTrailingSeparators(Narrow(std::wstring_view(buf, n)));
}

std::string ProgramFolder() {
  wchar_t buf[32768];
  DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
  if (n == 0 || n >= 32768) return CurrentHostFolder();
  return StripTrailingSeparators(Parent(Narrow(std::wstring_view(buf, n))));
}

std::string UserConfigHome() {
  // XDG_CONFIG_HOME moves it as on Linux (the tests keep their own).
  std::string v = EnvOr(L"XDG_CONFIG_HOME", "");
  if (!v.empty()) return StripTrailingSeparators(FullPath(v));
  wchar_t buf[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, buf) == S_OK)
    return StripTrailingSeparators(Narrow(buf));
  return StripTrailingSeparators(EnvOr(L"APPDATA", CurrentHostFolder()));
}

std::string HostPath(std::string_view p) {
  if (!Mapped()) {
    if (p.empty()) return CurrentHostFolder();
    return StripTrailingSeparators(FullPath(Latin1ToUtf8(p)));
  }
  std::string utf8 = Latin1ToUtf8(p);
  // A host path in the folder that holds the private drives (the drives
  // themselves included) stays where it is.
  if (IsFullName(p)) {
    std::string full = StripTrailingSeparators(FullPath(utf8));
    if (Inside(full, DrivesHome()) || DriveOf(full, nullptr).size()) return full;
  }
  if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
    std::string root = DriveRoot(p[0]);
    return Walk(root, root, p.substr(2));
  }
  std::string cwd = CurrentHostFolder();
  std::string drive = DriveOf(cwd, nullptr);
  if (!p.empty() && IsPathSeparator(p[0])) {
    std::string root = drive.empty() ? DriveRoot('c') : drive;
    return Walk(root, root, p.substr(1));
  }
  return Walk(cwd, drive.empty() ? cwd.substr(0, 3) : drive, p);
}

std::string HostPathUnder(std::string_view host_folder, std::string_view script_relative) {
  std::string base = StripTrailingSeparators(Backslashes(std::string(host_folder)));
  return Walk(base, base, script_relative);
}

std::string ScriptPath(std::string_view host_path) {
  std::string host = Backslashes(std::string(host_path));
  std::string rest;
  std::string drive = DriveOf(host, &rest);
  return drive.empty() ? Utf8ToLatin1(host) : DrivePathText(drive.back(), rest);
}

std::string CurrentFolder() { return ScriptPath(CurrentHostFolder()); }

bool SetCurrentFolder(std::string_view script_path) {
  std::string host = HostPath(script_path);
  return HostIsFolder(host) && SetCurrentDirectoryW(Widen(NamesAsOnDisk(host)).c_str());
}

}  // namespace kal
