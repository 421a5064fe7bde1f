// Why the running line failed. A handler that decides a failure from what
// it met at run time (a variable holding a word where a number goes, a
// channel not open, a file missing, a label a variable names that no line
// has) records the reason here as it fails; the run loop clears it before
// each line, and the run's error report says it before the line's number.
// A mistake the script check also finds by the text carries the check's
// code and message, so that the editor and the run say the same words;
// failures only a run can meet have codes of their own (K3xx).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "8_interpreter/check_codes.h"

namespace kal {

struct InterpreterState;
struct Value;

// Failures that only a run meets, each with its code (fail_reason.cpp).
enum class RunFault : uint8_t {
  kChannelNotOpen,     // K301 a channel, the binary file or the menu with nothing open
  kFileRefused,        // K302 a file or folder missing or refused by the system
  kReturnWithoutCall,  // K303 RETORNA reached with no CHAMA to go back to
  kTooManyCalls,       // K304 CHAMA nested past the call stack
  kListMissing,        // K305 a list no LISTA ... CRIA made
  kLimitReached,       // K306 a table or a text past its bound
  kProgramNotStarted,  // K307 a program that could not be started
  kNetworkFailed,      // K308 a connection or download that failed at once
  kNotAvailable,       // K309 a service this system does not offer
  kItemMissing,        // K310 a list's item by a number past its end, or a text not in it
};

struct FailReason {
  std::string_view code;  // "K121", "K301"; empty while none is recorded
  std::string message;    // UTF-8, as said and written
};

// Records the reason for the running line's failure and returns false, so
// that a handler can `return Fail(...)`. The first reason recorded on a
// line is kept: it is the one nearest to where the failure was decided.
bool Fail(InterpreterState& in, CheckCode code, std::string message);
bool Fail(InterpreterState& in, RunFault fault, std::string message);

// The same with a Latin-1 tail (a value, a file name) appended, shown with
// its control characters visible: such a text came from outside.
bool Fail(InterpreterState& in, CheckCode code, std::string_view utf8_message, std::string_view latin1_tail);
bool Fail(InterpreterState& in, RunFault fault, std::string_view utf8_message, std::string_view latin1_tail);

// A number was wanted: the variable in slot holds a text that is none.
bool FailNotNumber(InterpreterState& in, int slot);
// A number was wanted: the operand written as `written` gave value, which
// is none (or does not fit in 32 bits).
bool FailNotNumber(InterpreterState& in, std::string_view written, const Value& value);
// How a variable is named in a message: its letter, or $ and its name.
std::string VariableName(const InterpreterState& in, int slot);

// A channel #0..#9 was wanted at the front of args.
bool FailNoChannel(InterpreterState& in, std::string_view args);
// The channel has nothing open.
bool FailChannelClosed(InterpreterState& in, int channel);

// The words for a system error number met on a file or folder ("não
// existe", "sem permissão"); empty for one that has none here.
std::string_view FileErrorWords(int err);
// A file command's failure on the named file: message, the name shown, and
// the error's words after a colon when it has some.
bool FailOnFile(InterpreterState& in, std::string_view utf8_message, std::string_view latin1_name, int err);

// Forgets the reason recorded (before a line runs; cheap when none is).
void ClearFailReason(InterpreterState& in);

// A Latin-1 text from a script, a variable or the system as UTF-8 with its
// control characters shown (^[, \x9b), for a reason's message.
std::string ShownText(std::string_view latin1);

// The code of a run-time-only failure ("K301").
std::string_view RunFaultId(RunFault fault);

}  // namespace kal
