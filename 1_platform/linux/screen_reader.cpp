// The question goes to the session bus through libdbus, which lives in the
// accessibility module (kaldorin-atspi.so): without a session bus named in
// the environment the module is not even loaded.
#include "1_platform/screen_reader.h"

#include <cstdlib>

#include "1_platform/backend_module.h"

namespace kal {

bool ScreenReaderRunning() {
  const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (!bus || !*bus) return false;
  auto* ask = ModuleEntry(module_entry::kScreenReaderEnabled, nullptr);
  return ask && ask(bus) == 1;
}

}  // namespace kal
