// Temporary folders and environment settings for tests that touch files:
// each is undone when the object goes out of scope.
#pragma once

#include <optional>
#include <string>

namespace kal::test {

// A fresh folder under the system's temporary folder, removed with all its
// contents at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Sets (or, with nullopt, unsets) an environment variable; restores it.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// A private family installation: TALVEN_DRIVES = <tmp>/drives (created),
// XDG_CONFIG_HOME = <tmp>/config, TALVEN_WINDIR unset (so the Windows
// directory is <tmp>/drives/c/windows). The current folder is restored at
// the end.
class TalvenSandbox {
 public:
  TalvenSandbox();
  ~TalvenSandbox();

  std::string drives() const { return tmp_ / "drives"; }
  std::string config_home() const { return tmp_ / "config"; }
  const TempFolder& tmp() const { return tmp_; }

 private:
  TempFolder tmp_;
  ScopedEnv drives_env_, config_env_, windir_env_;
  std::string old_cwd_;
};

// Writes bytes to a file, creating its parent folders; reads them back.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

}  // namespace kal::test
