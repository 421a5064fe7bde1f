// Choosing the back ends of this host.
#pragma once

#include <memory>
#include <string>

#include "1_platform/console_frontend.h"

namespace kal {

// The terminal front end when standard input and output are terminals and
// headless is not asked for; the headless front end otherwise.
std::unique_ptr<ConsoleFrontEnd> MakeConsoleFrontEnd(bool force_headless);

// The process environment (inherited by the programs it starts).
std::string GetEnvironment(const std::string& name);
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace kal
