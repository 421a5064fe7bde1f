// Built into every back end's module: the interface it was built for, which
// the core compares with its own before it takes an entry
// (1_platform/module_entries.h).
#include "1_platform/module_entries.h"

extern "C" std::uint32_t kaldorin_module_interface() { return kal::kModuleInterface; }
