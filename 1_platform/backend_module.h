// Back ends whose libraries most runs never need (the sound library, the
// window, braille, JPEG pictures) are modules of their own on Linux,
// kaldorin-NAME.so, opened when the service is first used: a plain script
// then starts without the dynamic loader mapping dozens of libraries it will
// not call. A module is looked for in KALDORIN_MODULE_DIR when that is set
// (and only there), else beside the program and in ../lib/kaldorin from it.
#pragma once

#include <string>

namespace kal {

// The environment variable that names the one folder of the modules.
inline constexpr char kModuleDirVariable[] = "KALDORIN_MODULE_DIR";

// The address of the module's entry `symbol`, the module (and the libraries
// it needs) loaded on the first call; nullptr, with the reason in *why when
// given, when the module or one of its libraries is missing.
void* ModuleEntry(const char* module, const char* symbol, std::string* why);

// The same for a module that some earlier call loaded; nullptr, without
// loading it, when none did (for what only matters after a first use).
void* LoadedModuleEntry(const char* module, const char* symbol);

}  // namespace kal
