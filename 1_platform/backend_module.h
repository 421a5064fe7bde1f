// Back ends whose libraries most runs never need (the sound library, the
// window, braille, JPEG pictures) are modules of their own on Linux,
// kaldorin-NAME.so, opened when the service is first used: a plain script
// then starts without the dynamic loader mapping dozens of libraries it will
// not call. A module is looked for in KALDORIN_MODULE_DIR when that is set
// (and only there), else beside the program and in ../lib/kaldorin from it.
//
// What a module offers is the table of 1_platform/module_entries.h; a module
// is used only when its interface is the core's.
#pragma once

#include <string>

#include "1_platform/module_entries.h"

namespace kal {

// The environment variable that names the one folder of the modules.
inline constexpr char kModuleDirVariable[] = "KALDORIN_MODULE_DIR";

// The address of `entry` of `module`, the module (and the libraries it
// needs) loaded on the first call; nullptr, with the reason in *why when
// given, when the module or one of its libraries is missing, when it has no
// such entry, or when it was built for another interface.
void* ModuleEntryAddress(const char* module, const char* entry, std::string* why);

// The same for a module that some earlier call loaded; nullptr, without
// loading it, when none did (for what only matters after a first use).
void* LoadedModuleEntryAddress(const char* module, const char* entry);

// The entry as the function the table declares it to be.
template <typename F>
F* ModuleEntry(ModuleEntryId<F> id, std::string* why) {
  return reinterpret_cast<F*>(ModuleEntryAddress(id.module, id.entry, why));
}

template <typename F>
F* LoadedModuleEntry(ModuleEntryId<F> id) {
  return reinterpret_cast<F*>(LoadedModuleEntryAddress(id.module, id.entry));
}

}  // namespace kal
