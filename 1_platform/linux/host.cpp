// Choosing the console's front end for this run.
#include "1_platform/host.h"

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

namespace kal {

std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(bool force_headless) {
  const char* term = getenv("TERM");
  bool usable = term && *term && strcmp(term, "dumb") != 0;
  if (!force_headless && usable && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
    TerminalOptions opts;
    opts.truecolor = TerminalAnnouncesTruecolor();
    if (auto front = MakeTerminalFrontEnd(STDIN_FILENO, STDOUT_FILENO, opts)) return front;
  }
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
