// Reading the small files the kernel makes (/proc, /sys) with plain system
// calls. The C++ streams throw when a read fails, and these reads fail in
// ordinary ways: a process ends while its files are read (ESRCH), a battery
// is removed (ENODEV), a name turns out to be a folder (EISDIR).
#pragma once

#include <cstddef>
#include <string>

namespace kal {

// At most cap bytes from the start of the file; what was read before a
// failure (empty when the file cannot be opened or read).
std::string ReadSmallFile(const std::string& path, size_t cap = 4096);

// The file's first line, without its line end.
std::string ReadFirstLine(const std::string& path);

}  // namespace kal
