// LoadLibraryEx restricted to the program's folder and the system folders:
// the current folder and PATH are not searched, so that a file dropped
// there cannot be loaded in place of the library.
#include "1_platform/shared_library.h"

#include <windows.h>

#include "1_platform/win32/wide.h"

namespace kal {

void* OpenSharedLibrary(const std::string& file_name, std::string* err) {
  HMODULE m = LoadLibraryExW(Widen(file_name).c_str(), nullptr,
                             LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!m && err) *err = file_name + ": " + SystemErrorText(GetLastError());
  return reinterpret_cast<void*>(m);
}

void* SharedLibrarySymbol(void* library, const char* name) {
  if (!library) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace kal
