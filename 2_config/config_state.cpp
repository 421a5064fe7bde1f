#include "2_config/config_state.h"

namespace kal {
namespace {

// Process-wide because Talven.ini is read through free functions from every
// layer above (ReadConfig), as the one file of the whole program.
ConfigState* g_config = nullptr;

}  // namespace

ConfigState* InstalledConfig() { return g_config; }

ScopedConfig::ScopedConfig(ConfigState& config) : previous_(g_config) { g_config = &config; }

ScopedConfig::~ScopedConfig() { g_config = previous_; }

}  // namespace kal
