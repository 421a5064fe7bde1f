// Opening and naming files by host path.
//
// Host paths are UTF-8 (see paths.h). Linux takes such bytes as they are;
// Windows' narrow C calls (fopen, the narrow constructors of the file
// streams and of std::filesystem::path) read them in the ANSI code page
// instead, so a name like "ação.txt" would reach the disk garbled or not at
// all. Everything outside the platform back ends that opens a file, or hands
// a host path to std::filesystem, goes through these.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

// std::fopen for a host path (mode as for fopen). nullptr when it cannot be
// opened.
std::FILE* OpenHostFile(const std::string& host_path, const char* mode);

// The std::filesystem::path that names the host path (for the file streams
// and the std::filesystem calls).
std::filesystem::path HostFsPath(std::string_view host_path);

// The host path (UTF-8) of a std::filesystem::path.
std::string FsPathToHost(const std::filesystem::path& path);

// The program's command-line arguments as host text (UTF-8), the program's
// name first. Windows hands main() its arguments in the ANSI code page, so
// there they are read again from the wide command line.
std::vector<std::string> HostArguments(int argc, char** argv);

}  // namespace kal
