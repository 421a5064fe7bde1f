#include "platform/host.h"

#include <stdlib.h>
#include <unistd.h>

namespace kal {

std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(bool force_headless) {
  // The terminal front end joins here; until then every run is headless.
  (void)force_headless;
  return MakeHeadlessFrontEnd(STDIN_FILENO, STDOUT_FILENO);
}

std::string GetEnvironment(const std::string& name) {
  const char* v = getenv(name.c_str());
  return v ? v : "";
}

void SetEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace kal
