#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "1_platform/host_file.h"
#include "tests/support/posix_shims.h"

namespace kal::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = FsPathToHost(fs::temp_directory_path() / "kaldorin-test-XXXXXX");
  char* made = mkdtemp(pattern.data());
  path_ = made ? made : pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::permissions(HostFsPath(path_), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(HostFsPath(path_), ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
  if (const char* v = getenv(name_.c_str())) old_ = v;
  if (value) {
    setenv(name_.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ScopedEnv::~ScopedEnv() {
  if (old_) {
    setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

TalvenSandbox::TalvenSandbox()
    : drives_env_("TALVEN_DRIVES", tmp_ / "drives"),
      config_env_("XDG_CONFIG_HOME", tmp_ / "config"),
      windir_env_("TALVEN_WINDIR", std::nullopt),
      old_cwd_(fs::current_path().string()) {
  fs::create_directories(drives());
}

TalvenSandbox::~TalvenSandbox() {
  std::error_code ec;
  fs::current_path(old_cwd_, ec);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(HostFsPath(path).parent_path());
  std::ofstream out(HostFsPath(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(HostFsPath(path), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace kal::test
