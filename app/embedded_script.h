// The application carried inside the program, run when no script is given.
#pragma once

#include <string>
#include <vector>

namespace kal {

// The lines of the embedded application, Latin-1, ready to be stored.
std::vector<std::string> EmbeddedScriptLines();

}  // namespace kal
