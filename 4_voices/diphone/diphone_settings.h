// Where the diphone word synthesizer finds its files: the letters folder
// (key "dirLetras") and the diphone folder (key "DIRDIFONES", default
// "c:\ferlan\som\difones") of section TRADUTOR of the configuration file,
// as host paths.
#pragma once

#include <string>

namespace kal {

struct ConfigState;

struct DiphoneFolders {
  std::string letters;
  std::string diphones;
};

DiphoneFolders ConfiguredDiphoneFolders(ConfigState& config);

}  // namespace kal
