// The synthesizer's folders from the configuration. Until the shared
// configuration reader is in place, the defaults are mapped under the drives
// folder ($TALVEN_DRIVES, or ~/.local/share/talven/drives): "c:\a\b" is
// "<drives>/c/a/b".
#include "speech/diphone/diphone_settings.h"

#include <cctype>
#include <cstdlib>

namespace kal {
namespace {

std::string DrivesFolder() {
  if (const char* d = std::getenv("TALVEN_DRIVES"); d != nullptr && *d != '\0') return d;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.local/share/talven/drives";
}

std::string MapWindowsPath(const std::string& path) {
  std::string out = DrivesFolder();
  size_t i = 0;
  if (path.size() >= 2 && path[1] == ':') {
    out += '/';
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    i = 2;
  } else {
    out += "/c";
  }
  for (; i < path.size(); ++i) out += path[i] == '\\' ? '/' : path[i];
  return out;
}

}  // namespace

DiphoneFolders ConfiguredDiphoneFolders() {
  return {MapWindowsPath("c:\\ferlan\\som\\letras"), MapWindowsPath("c:\\ferlan\\som\\difones")};
}

}  // namespace kal
