// Sound paths are mapped like every other path a script names
// (1_platform/paths.h).
#include "2_config/sound_paths.h"

#include "1_platform/paths.h"

namespace kal {

std::string SoundHostPath(std::string_view program_path) { return HostPath(program_path); }

bool SoundFileExists(std::string_view program_path) {
  std::string host = HostPath(program_path);
  return HostExists(host) && !HostIsFolder(host);
}

std::string SoundFolderOf(std::string_view program_path) {
  size_t cut = program_path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(program_path.substr(0, cut + 1));
}

}  // namespace kal
