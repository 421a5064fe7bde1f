#include "platform/host.h"

#include <unistd.h>

namespace kal {

std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(bool force_headless) {
  // The terminal front end joins here; until then every run is headless.
  (void)force_headless;
  return MakeHeadlessFrontEnd(STDIN_FILENO, STDOUT_FILENO);
}

}  // namespace kal
