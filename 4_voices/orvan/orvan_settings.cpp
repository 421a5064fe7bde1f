// Where the Orvan engine's database and data files are: section ORVANTTS
// of the configuration file. The MBROLA database is found where the Linux
// packages install it (/usr/share/mbrola/NAME/NAME); that location plays
// the part of the synthesiser's own registration of its databases.
#include <string>

#include "2_config/config.h"
#include "1_platform/paths.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_text.h"

namespace kal {

namespace {

// The installed database of that name, or "".
std::string RegisteredDatabase(const std::string& name) {
  std::string path = "/usr/share/mbrola/" + orvan::LowerLatin1(name) + "/" + orvan::LowerLatin1(name);
  return HostExists(path) ? path : "";
}

std::string ConfigOr(const cfg::ConfigKey& key, std::string_view def) {
  std::string value = orvan::Trim(ReadConfig(key));
  return value.empty() ? std::string(def) : value;
}

}  // namespace

OrvanSettings ReadOrvanSettings() {
  OrvanSettings s;
  std::string name = ConfigOr(cfg::kMbrolaDb, cfg::kMbrolaDb.def);
  s.database = RegisteredDatabase(name);
  if (s.database.empty()) s.database = HostPath("c:\\ferlan\\orvantts\\br4");

  std::string br4 = RegisteredDatabase("br4");
  std::string dir_default = br4.empty() ? std::string(cfg::kDir.def) : br4.substr(0, br4.size() - 3);
  s.folder = HostPath(ConfigOr(cfg::kDir, dir_default));
  if (s.folder.empty() || s.folder.back() != '/') s.folder += '/';
  s.base = ConfigOr(cfg::kBase, cfg::kBase.def);
  return s;
}

}  // namespace kal
