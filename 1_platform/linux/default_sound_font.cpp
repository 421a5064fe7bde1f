// Where Debian's General MIDI sound font is.
#include <sys/stat.h>

#include <string>

#include "1_platform/midi_out.h"

namespace kal {
namespace {
bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

std::string DefaultSoundFont() {
  // Debian points default-GM.sf2 at the installed General MIDI font.
  for (const char* p : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                        "/usr/share/soundfonts/default.sf2", "/usr/share/soundfonts/FluidR3_GM.sf2"})
    if (IsFile(p)) return p;
  return "/usr/share/sounds/sf2/default-GM.sf2";
}


}  // namespace kal
