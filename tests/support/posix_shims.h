// The few C library calls the tests use that Windows' C run-time names
// differently: environment changes and making a fresh temporary folder.
// Nothing on other systems. The Windows build includes it in every test
// file (cmake/windows_tests.cmake).
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name)) return 0;
  // _putenv_s changes the system's copy too, which the program reads.
  return _putenv_s(name, value);
}

// Tests pass std::filesystem paths' c_str(), which is wide on Windows.
inline int setenv(const char* name, const wchar_t* value, int overwrite) {
  if (!overwrite && _wgetenv(std::filesystem::path(name).c_str())) return 0;
  return _wputenv_s(std::filesystem::path(name).c_str(), value);
}

inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

inline char* mkdtemp(char* pattern) {
  size_t n = std::strlen(pattern);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::memset(pattern + n - 6, 'X', 6);
    if (_mktemp_s(pattern, n + 1) != 0) return nullptr;
    if (_mkdir(pattern) == 0) return pattern;
  }
  return nullptr;
}
#endif
