// Host paths on Windows: UTF-8 made wide for _wfopen and for the wide form
// of std::filesystem::path, never read in the ANSI code page.
#include "1_platform/host_file.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "1_platform/win32/wide.h"

namespace kal {

std::FILE* OpenHostFile(const std::string& host_path, const char* mode) {
  return _wfopen(Widen(host_path).c_str(), Widen(mode).c_str());
}

std::filesystem::path HostFsPath(std::string_view host_path) { return std::filesystem::path(Widen(host_path)); }

std::string FsPathToHost(const std::filesystem::path& path) { return Narrow(path.native()); }

std::vector<std::string> HostArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  // Should the wide command line not split the same way, the narrow
  // arguments are still better than none.
  if (wide == nullptr || count != argc) {
    if (wide) LocalFree(wide);
    return std::vector<std::string>(argv, argv + argc);
  }
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace kal
