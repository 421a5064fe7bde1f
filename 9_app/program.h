#pragma once

namespace kal {

// The whole program behind main; returns the exit code (0 = the script ended
// normally, 1 = it failed or could not be loaded).
int ProgramMain(int argc, char** argv);

}  // namespace kal
