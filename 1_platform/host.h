// Choosing the back ends of this host.
#pragma once

#include <memory>
#include <string>

#include "1_platform/console_frontend.h"

namespace kal {

enum class FrontEndChoice {
  kAuto,      // a terminal when standard input and output are one; a window
              // when a display is announced and standard input is neither a
              // terminal, a pipe nor a file (started from a desktop
              // launcher); headless otherwise
  kHeadless,  // always headless
  kWindow,    // a window; as kAuto when no display can be opened
};

// *window_failed is set to why a window asked for (kWindow) did not open,
// and left empty otherwise.
std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(Platform& platform, FrontEndChoice choice,
                                                     const WindowOptions& window, std::string* window_failed = nullptr);

// The terminal front end when standard input and output are terminals and
// headless is not asked for; the headless front end otherwise.
std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(Platform& platform, bool force_headless);

// Whether the host keeps a queue of window messages for every program,
// shown window or not (Windows); elsewhere only an open window has one.
bool HostKeepsWindowQueue();

// The process environment (inherited by the programs it starts).
std::string GetEnvironment(const std::string& name);
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace kal
