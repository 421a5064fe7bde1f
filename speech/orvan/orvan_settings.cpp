// Where the Orvan engine's database and data files are.
#include "speech/orvan/orvan_engine.h"

#include <fstream>

namespace kal {

namespace {

// The installed MBROLA database of that name, as the Linux packages lay it
// out: /usr/share/mbrola/NAME/NAME.
std::string InstalledDatabase(const std::string& name) {
  std::string path = "/usr/share/mbrola/" + name + "/" + name;
  return std::ifstream(path) ? path : "";
}

}  // namespace

OrvanSettings ReadOrvanSettings() {
  OrvanSettings s;
  s.database = InstalledDatabase("br4");
  s.folder = "";
  s.base = "portug";
  return s;
}

}  // namespace kal
