// Host paths on Linux are the bytes the C library takes.
#include "1_platform/host_file.h"

namespace kal {

std::FILE* OpenHostFile(const std::string& host_path, const char* mode) {
  return std::fopen(host_path.c_str(), mode);
}

std::filesystem::path HostFsPath(std::string_view host_path) { return std::filesystem::path(host_path); }

std::string FsPathToHost(const std::filesystem::path& path) { return path.string(); }

std::vector<std::string> HostArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

}  // namespace kal
