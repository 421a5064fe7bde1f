#include "tests/support/memory_console.h"

#include <utility>

#include "1_platform/console_frontend.h"
#include "1_platform/stop_request.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {

void UseMemoryConsole(Console& console, std::string keys, std::string* out) {
  SetConsoleFrontEnd(console, nullptr);
  console.screen = ConsoleScreen();
  ClearStopRequest(console.platform);
  SetConsoleFrontEnd(console, MakeMemoryFrontEnd(std::move(keys), out));
}

void UseMemoryConsole(std::string keys, std::string* out) { UseMemoryConsole(Context().console, std::move(keys), out); }

}  // namespace kal::test
