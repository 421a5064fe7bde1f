// Layer 9_app: main, the options, the embedded application and the viewer.
// Only this layer ends the program: every other layer returns why it stopped.
#pragma once

namespace kal {

// The whole program behind main. Every way a run ends comes back here as a
// RunEnd (0_base/run_end.h); this alone restores the terminal and returns
// the exit code: 0 the script ended, 1 it failed or could not be loaded, 2
// the input ended during a wait for a key, 3 the voice could not start, 130
// the break key or SIGINT, 128 plus the number for other signals.
int ProgramMain(int argc, char** argv);

}  // namespace kal
