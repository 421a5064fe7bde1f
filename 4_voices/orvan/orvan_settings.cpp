// Where the Orvan engine's database and data files are: section ORVANTTS
// of the configuration file, and the databases MBROLA's installation
// registered (1_platform/mbrola.h).
#include <string>

#include "2_config/config.h"
#include "1_platform/mbrola.h"
#include "1_platform/paths.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_text.h"

namespace kal {

namespace {

std::string ConfigOr(ConfigState& config, const cfg::ConfigKey& key, std::string_view def) {
  std::string value = orvan::Trim(ReadConfig(config, key));
  return value.empty() ? std::string(def) : value;
}

}  // namespace

OrvanSettings ReadOrvanSettings(ConfigState& config) {
  OrvanSettings s;
  std::string name = ConfigOr(config, cfg::kMbrolaDb, cfg::kMbrolaDb.def);
  s.database = RegisteredMbrolaDatabase(name);
  if (s.database.empty()) s.database = HostPath("c:\\ferlan\\orvantts\\br4");

  std::string br4 = RegisteredMbrolaDatabase("br4");
  std::string dir_default = br4.empty() ? std::string(cfg::kDir.def) : br4.substr(0, br4.size() - 3);
  s.folder = HostPath(ConfigOr(config, cfg::kDir, dir_default));
  if (s.folder.empty() || s.folder.back() != '/') s.folder += '/';
  s.base = ConfigOr(config, cfg::kBase, cfg::kBase.def);
  return s;
}

}  // namespace kal
