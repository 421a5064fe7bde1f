// dlopen by file name, as the dynamic linker searches for it.
#include "1_platform/shared_library.h"

#include <dlfcn.h>

namespace kal {

void* OpenSharedLibrary(const std::string& file_name, std::string* err) {
  void* lib = dlopen(file_name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib && err) {
    const char* why = dlerror();
    *err = why ? why : file_name;
  }
  return lib;
}

void* SharedLibrarySymbol(void* library, const char* name) {
  return library ? dlsym(library, name) : nullptr;
}

}  // namespace kal
