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
bool CopyDefaultConfig(ConfigState& config, const std::string& data_folder, std::string* err) {
  std::string target = ConfigFilePath(config);
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

// The name, in the prompts folder, of the file that says which shared
// prompts it holds copies of.
constexpr const char* kPromptsStamp = ".avisos-do-pacote";
constexpr size_t kStampLimit = 64 * 1024;

// What tells one set of shared prompts from another: each file's name, size
// and time of change; "" when the folder cannot be read.
std::string PromptsSignature(const fs::path& shared) {
  std::error_code ec;
  std::string signature;
  for (fs::directory_iterator it(shared, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    auto size = it->file_size(ec);
    auto changed = it->last_write_time(ec).time_since_epoch().count();
    if (ec) return "";
    signature += it->path().filename().string() + " " + std::to_string(size) + " " + std::to_string(changed) + "\n";
  }
  return ec ? "" : signature;
}

// The prompts folder holds copies of the shared prompts, renewed when the
// package brings others, so that nothing in the user's home points into the
// package (a link would be left dangling once the package is removed). A
// link made by an earlier version is replaced by the copies; a folder the
// user made (without the stamp) stays as it is.
bool CopyPrompts(const std::string& data_folder, std::string* err) {
  fs::path prompts = HostPath("C:\\zelquora\\som");
  fs::path shared = data_folder + "/zelquora/som";
  std::error_code ec;
  if (fs::is_symlink(prompts, ec)) {
    fs::remove(prompts, ec);
  } else if (fs::exists(prompts, ec) && !fs::exists(prompts / kPromptsStamp, ec)) {
    return true;
  }
  std::string signature = PromptsSignature(shared);
  std::string held;
  if (!signature.empty() && ReadHostFile((prompts / kPromptsStamp).string(), &held, kStampLimit) && held == signature)
    return true;
  if (!MakeHostFolders(prompts.string())) {
    *err = "não foi possível criar a pasta " + prompts.string();
    return false;
  }
  for (fs::directory_iterator it(shared, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    fs::copy_file(it->path(), prompts / it->path().filename(), fs::copy_options::overwrite_existing, ec);
    if (ec) break;
  }
  if (ec) {
    *err = "não foi possível copiar os avisos para " + prompts.string() + ": " + ec.message();
    return false;
  }
  return ReplaceHostFile((prompts / kPromptsStamp).string(), signature, err);
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

bool PrepareUserFiles(ConfigState& config, const std::string& data_folder, std::string* err) {
  if (!CopyDefaultConfig(config, data_folder, err)) return false;
  if (!MakeWorkFolder(err)) return false;
  return CopyPrompts(data_folder, err);
}

}  // namespace kal
