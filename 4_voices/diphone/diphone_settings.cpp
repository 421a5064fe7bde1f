// The synthesizer's folders from section TRADUTOR of the configuration file,
// read directly (no "@" expansion) and mapped to host paths. The letters
// folder gets its closing backslash before mapping, as the family's
// programs always did, so an empty setting means the root of the drive.
#include "4_voices/diphone/diphone_settings.h"

#include "2_config/config.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

DiphoneFolders ConfiguredDiphoneFolders(ConfigState& config) {
  DiphoneFolders f;
  f.letters = HostPath(WithBackslash(ReadConfigDirect(config, cfg::kDirLetrasDirect)));
  f.diphones = HostPath(ReadConfigDirect(config, cfg::kDirDifones));
  return f;
}

}  // namespace kal
