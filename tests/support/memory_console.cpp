#include "tests/support/memory_console.h"

#include <utility>

#include "1_platform/console_frontend.h"
#include "1_platform/stop_request.h"
#include "6_console/console.h"
#include "6_console/console_state.h"

namespace kal::test {

void UseMemoryConsole(std::string keys, std::string* out) {
  SetConsoleFrontEnd(nullptr);
  InstalledConsole().screen = ConsoleScreen();
  ClearStopRequest();
  SetConsoleFrontEnd(MakeMemoryFrontEnd(std::move(keys), out));
}

}  // namespace kal::test
