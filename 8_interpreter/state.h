// The interpreter's module state: everything one interpreter keeps for the
// whole process, in one place.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "8_interpreter/channels.h"
#include "8_interpreter/console_net_user.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/file_state.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/lists.h"
#include "8_interpreter/mci.h"
#include "8_interpreter/msaa_state.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/program_commands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/variables.h"

namespace kal {

constexpr int kCallStackSize = 20;

// Limits that tests, the benchmark and the fuzzer give an interpreter.
struct RunLimits {
  int64_t max_lines = 0;  // lines a run may execute, 0 = no limit
  size_t max_value_size = 64u << 20;
  // When not empty: only the command table entries marked here run; the
  // others are refused as unknown words (the fuzzer keeps scripts away from
  // files, programs and the network this way).
  std::vector<bool> allowed_commands;
  // False: every stored line runs through its handler from the text (tests
  // compare decoded lines against their handlers this way).
  bool decode_lines = true;
  // False: quiet decoded lines run one by one through the run loop, as
  // every other line, instead of in their quick form (quick_code.h); tests
  // and the fuzzer compare the two ways.
  bool quick_lines = true;
};

// The interpreter: the script, its variables, lists, channels and the run
// loop's position. main builds one for the run and hands it to every command
// handler; tests build a fresh one per case.
// Lines run from within lines (SE a = 1 SE b = 2 ...) nest on the stack;
// beyond this depth the line fails instead (and the script check says so).
inline constexpr int kMaxNestedLines = 200;

struct InterpreterState {
  RunLimits limits;
  // The network layer's user while this interpreter runs (declared before
  // the channels, whose connections it outlives).
  ConsoleNetUser net_user;

  std::vector<std::string> lines;  // 1-based, grown by StoreLine up to kMaxScriptLines + 1
  int line_count = 0;
  int current_line = 1;
  bool error = false;
  // Why the running line failed, when its handler said (fail_reason.h);
  // cleared before each line.
  FailReason fail_reason;
  bool stop = true;
  bool quiet_end = false;
  int exit_code = 0;  // TERMINA's code, for a run that ends normally
  std::array<int, kCallStackSize> call_stack{};
  int call_depth = 0;
  int last_status = 0;
  // Called with a line's upper-cased word and argument text before the line
  // runs, decoded or through its handler (DEBUG's echo); null when nothing
  // watches, and then quiet lines run straight from the decoded table.
  void (*before_line)(InterpreterState& in, std::string_view upper_word, std::string_view args) = nullptr;
  std::vector<std::string> params;
  int start_weekday = 0;
  int start_time = 0;  // hundredths of a second since midnight
  bool midi_open = false;
  // SENSOR: the parallel port's status when this interpreter opened it
  // (valid while the port is open).
  uint8_t sensor_baseline = 0;

  // Variables: slot 0 unused, 1..26 letters, 27..127 named. A value that
  // arithmetic wrote, or a plain decimal that SEJA assigned, may be held as
  // a number only (var_is_number set): its
  // text, the plain decimal of var_number, is written out into var_text
  // when the text is first asked for (Var).
  std::array<std::string, kVariableSlots + 1> var_text;
  std::array<int64_t, kVariableSlots + 1> var_number{};
  std::array<bool, kVariableSlots + 1> var_is_number{};
  std::vector<std::string> names;  // upper-cased, in order of first mention
  std::unordered_map<std::string, int> name_slots;

  ListTable lists;
  // Network commands: the TLS request of CONECTA's SSL prefix (dropped when
  // a connection channel is closed) and the last target, for ATIVASSL.
  // Declared before the channels, whose connections clear the request as
  // they close.
  bool tls_request = false;
  std::string last_host, last_port_text;
  uint16_t last_port = 0;
  ChannelTable channels;
  uint64_t random_state = 0x2545F4914F6CDD1DULL;  // fixed seed until RANDOMIZA
  int nesting = 0;        // depth of lines run from within a line (SE, CMD)
  int64_t lines_run = 0;  // lines executed by the run loop since the reset
  // Taken from the limits when a run begins.
  bool commands_limited = false;  // limits.allowed_commands set
  bool decode_lines = true;       // limits.decode_lines
  bool quick_lines = true;        // limits.quick_lines

  ScriptIndex index;

  // What command families keep between commands.
  FileState files;
  ProgramCommandsState programs;
  MciDevices mci;
  MsaaState msaa;

  // What the run speaks, plays and waits through (run_context.h), set by
  // whoever runs the script: main, the test harness, a benchmark. The run
  // loop takes input on its loop, so every state that runs a script has
  // one; a state without one (the script check) must run no command that
  // reaches it. Last, so that the run loop's fields keep their places.
  RunContext* context = nullptr;
};

// The text of a variable, to read or to change.
void WriteOutNumber(InterpreterState& in, int slot);
inline std::string& Var(InterpreterState& in, int slot) {
  size_t i = static_cast<size_t>(slot);
  if (in.var_is_number[i]) WriteOutNumber(in, slot);
  return in.var_text[i];
}
// Arithmetic results: the variable's value becomes the decimal text of
// value, which is written out only when someone asks for the text.
inline void SetVarNumber(InterpreterState& in, int slot, int64_t value) {
  size_t i = static_cast<size_t>(slot);
  in.var_number[i] = value;
  in.var_is_number[i] = true;
}
// A variable's value as it is held, without writing a number out (only
// the fields a variable's value gives meaning to are written: every
// operand of every decoded line comes here).
inline void ReadVarValue(InterpreterState& in, int slot, Value* v) {
  size_t i = static_cast<size_t>(slot);
  v->is_number = in.var_is_number[i];
  if (v->is_number) {
    v->number = in.var_number[i];
  } else {
    v->text = in.var_text[i];
    v->digits = false;
  }
}
// The variable's value under the numeric rule, without writing out a
// value held as a number.
inline bool VarAsNumber(InterpreterState& in, int slot, int32_t* value) {
  size_t i = static_cast<size_t>(slot);
  if (in.var_is_number[i]) return NumberFits(in.var_number[i], value);
  return ParseNumber(in.var_text[i], value);
}


}  // namespace kal
