// Runs a KALDORIN script in process, headless, with the fake clock: the
// keys are typed from a string, the console text and the speech log are
// collected.
#pragma once

#include <string>
#include <vector>

#include "0_base/run_end.h"

namespace kal {
struct InterpreterState;
}

namespace kal::test {

struct ScriptResult {
  std::string console;               // UTF-8 console text as a headless run prints it
  std::vector<std::string> speech;   // speech log lines (UTF-8)
  int outcome = 0;                   // 0 normal end, 1 a line failed
  int line = 0;                      // line at which the run stopped
  int exit_code = -1;                // the exit code main would return
  RunEnd end;                        // how the run ended, as main gets it
};

// Runs the script on a fresh interpreter with these parameters.
// script: UTF-8 text of the script (converted to Latin-1 as a script file
// would be); keys: UTF-8 text typed at the keyboard.
ScriptResult RunScriptText(const std::string& script, const std::string& keys = "",
                           const std::vector<std::string>& params = {});
// The same on an interpreter the test built (its limits set, or to look at
// what the run left in it afterwards).
ScriptResult RunScriptIn(InterpreterState& in, const std::string& script, const std::string& keys = "");
// On a fresh interpreter whose stored lines run decoded (decoded) or every
// line through its handler from the text; the two ways must give the same
// run.
ScriptResult RunScriptDecoded(bool decoded, const std::string& script, const std::string& keys = "",
                              const std::vector<std::string>& params = {});

// Console text of a script that is expected to end normally (an Enter is
// typed for any wait); a failing run is reported as a test failure.
std::string Out(const std::string& script, const std::vector<std::string>& params = {});

// The line at which the script failed, or 0 when it ended normally.
int FailLine(const std::string& script);


// Speech lines joined with '\n', for compact expectations.
std::string Joined(const std::vector<std::string>& lines);

}  // namespace kal::test
