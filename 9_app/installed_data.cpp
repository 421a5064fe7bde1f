// The first run of an installed program: the user's configuration and
// working folders made from the shared data (installed_data.h).
#include "9_app/installed_data.h"

#include <filesystem>
#include <system_error>

#include "1_platform/paths.h"
#include "2_config/config.h"

namespace kal {
namespace {

namespace fs = std::filesystem;

// Copies the default configuration to where the program reads it, unless a
// Talven.ini is already there (the user's, or the Windows directory's).
bool CopyDefaultConfig(const std::string& data_folder, std::string* err) {
  std::string target = ConfigFilePath();
  if (HostExists(target)) return true;
  std::string contents;
  std::string source = data_folder + "/Talven.ini";
  if (!ReadHostFile(source, &contents)) {
    *err = "não foi possível ler " + source;
    return false;
  }
  std::string folder = target.substr(0, target.find_last_of('/'));
  if (!MakeHostFolders(folder)) {
    *err = "não foi possível criar a pasta " + folder;
    return false;
  }
  return ReplaceHostFile(target, contents, err);
}

// The prompts folder is a link to the shared one, so that an updated package
// brings its new prompts to every user; a folder the user made stays.
bool LinkPrompts(const std::string& data_folder, std::string* err) {
  std::string prompts = HostPath("C:\\zelquora\\som");
  if (HostExists(prompts)) return true;
  std::error_code ec;
  fs::create_directory_symlink(data_folder + "/zelquora/som", prompts, ec);
  if (!ec) return true;
  *err = "não foi possível criar " + prompts + ": " + ec.message();
  return false;
}

bool MakeWorkFolder(std::string* err) {
  std::string temp = HostPath("C:\\zelquora\\temp");
  if (MakeHostFolders(temp)) return true;
  *err = "não foi possível criar a pasta " + temp;
  return false;
}

}  // namespace

std::string InstalledDataFolder(const std::string& program_folder) {
  std::string folder = program_folder + "/../share/kaldorin";
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(folder, ec);
  if (!ec) folder = canonical.string();
  return HostExists(folder + "/Talven.ini") ? folder : std::string();
}

bool PrepareUserFiles(const std::string& data_folder, std::string* err) {
  if (!CopyDefaultConfig(data_folder, err)) return false;
  if (!MakeWorkFolder(err)) return false;
  return LinkPrompts(data_folder, err);
}

}  // namespace kal
