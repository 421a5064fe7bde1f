// Ending the process. Only main and the console's end handling decide to
// quit; they do it through ExitProgram so that the terminal is restored and
// so that in-process tests can catch the end instead of losing the test run.
#pragma once

#include <functional>

namespace kal {

// Runs the registered clean-ups (last registered first), then ends the
// process with the code. Tests replace the final step with SetExitHook.
[[noreturn]] void ExitProgram(int code);

// Clean-ups that must run on every exit path (terminal restore, audio close).
void AtProgramExit(std::function<void()> cleanup);

// The exit code of a program ended by the break key or an interrupt, as a
// shell reports an interrupted command.
constexpr int kExitInterrupted = 130;

// Async-signal-safe: a signal asks for the end of the program. The run loop
// checks EndRequested between lines (a plain flag read) and pumps messages
// when it is set, so the pump's signal handling ends the program even in a
// loop that never waits.
void RequestEnd();
bool EndRequested();

// Tests: called instead of ending the process; it must not return (throw).
void SetExitHook(std::function<void(int)> hook);

}  // namespace kal
