// Layer 8_interpreter: the KALDORIN language, written against the console,
// the speech facade and the network layer's interfaces, which it implements
// for the network (console_net_user.h).
//
// The interpreter's spine: the script store, the run loop and the report of
// how a run ended. The interpreter's state (8_interpreter/state.h) is one
// object that main builds and hands to every function here; tests build a
// fresh one per case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "0_base/run_end.h"

namespace kal {

struct InterpreterState;

constexpr int kMaxScriptLines = 5000;
// A script file larger than this is not read: 5000 lines of some 800
// characters each, far beyond any script written by hand.
constexpr size_t kMaxScriptBytes = 4u << 20;

// Readies a freshly built interpreter for its run (the clock of SEJA's
// TEMPO starts, the network layer talks through the console) and starts the
// speech console; the program name becomes the window title.
void InitInterpreter(InterpreterState& in, std::string_view program_name);
// Stores text as line number n (1..5000) and makes n the line count.
// Returns false for a number outside 1..5000.
bool StoreLine(InterpreterState& in, std::string_view text, int n);
// Runs the stored lines until the script ends (kNormal), a line fails
// (kFailed) or a stop is requested (the requested end, see
// 1_platform/stop_request.h, looked at after every line that may have
// asked for it, and every 1024 lines). The end's line is the line at which
// the run stopped.
RunEnd RunScript(InterpreterState& in);
// Runs the script and reports how it ended (spoken end, or the error line
// and a wait for Enter; nothing for a stop). Returns the end for main.
RunEnd RunDriver(InterpreterState& in);
// Executes one line; false when it failed (the error flag is set to match).
// nested: a line run from within another (one-line SE, CMD), which refuses
// the block words REPETE, ENQUANTO, SENAO, SENÃO and FIM.
bool ExecuteLine(InterpreterState& in, std::string_view text, bool nested);
// Executes stored line n as ExecuteLine would, from its split when stored.
// *quiet: it ran decoded, succeeded and cannot have asked for a stop
// (LineCode::quiet in line_code.h).
bool ExecuteStoredLine(InterpreterState& in, int n, bool* quiet);

// The last status: set by file, network and waiting commands, read by CHECA.
int LastStatus(InterpreterState& in);
void SetLastStatus(InterpreterState& in, int status);

}  // namespace kal
