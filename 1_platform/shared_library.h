// Libraries loaded while the program runs, for optional services whose
// libraries may or may not be installed (the TLS library on Windows).
#pragma once

#include <string>

namespace kal {

// Loads the library by file name, from the program's folder or the
// system's; nullptr with *err filled when it cannot be loaded. A library is
// loaded once and stays loaded.
void* OpenSharedLibrary(const std::string& file_name, std::string* err);

// The address of an exported function; nullptr when there is none.
void* SharedLibrarySymbol(void* library, const char* name);

}  // namespace kal
