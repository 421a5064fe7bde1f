// Layer 8_interpreter: the KALDORIN language, written against the console,
// the speech facade and the network layer's interfaces, which it implements
// for the network (console_net_user.h).
//
// The interpreter's spine: the script store, the run loop and the report of
// how a run ended. There is one interpreter per process (module state in
// 8_interpreter/state.h); tests reset it with ResetInterpreter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "0_base/run_end.h"

namespace kal {

constexpr int kMaxScriptLines = 5000;

void ResetInterpreter();
// Starts the speech console; the program name becomes the window title.
void InitInterpreter(std::string_view program_name);
// Stores text as line number n (1..5000) and makes n the line count.
// Returns false for a number outside 1..5000.
bool StoreLine(std::string_view text, int n);
// Runs the stored lines until the script ends (kNormal), a line fails
// (kFailed) or a stop is requested (the requested end, see
// 1_platform/stop_request.h, looked at after every line). The end's line is
// the line at which the run stopped.
RunEnd RunScript();
// Runs the script and reports how it ended (spoken end, or the error line
// and a wait for Enter; nothing for a stop). Returns the end for main.
RunEnd RunDriver();
// Executes one line; false when it failed (the error flag is set to match).
// nested: a line run from within another (one-line SE, CMD), which refuses
// the block words REPETE, ENQUANTO, SENAO, SENÃO and FIM.
bool ExecuteLine(std::string_view text, bool nested);
// Executes stored line n as ExecuteLine would, from its split when stored.
bool ExecuteStoredLine(int n);

// The last status: set by file, network and waiting commands, read by CHECA.
int LastStatus();
void SetLastStatus(int status);

// What SEJA ... PARAMS reports: the command-line parameters after the script.
void SetProgramParams(std::vector<std::string> params);

}  // namespace kal
