// The few C library calls the tests use that Windows' C run-time names
// differently: environment changes and making a fresh temporary folder.
// Nothing on other systems.
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <stdlib.h>

#include <cstring>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name)) return 0;
  // _putenv_s changes the system's copy too, which the program reads.
  return _putenv_s(name, value);
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
