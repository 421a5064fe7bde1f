// Starting and talking to other programs: EXECUTA, EXISTEPROG, ENCERRAPROG,
// ENVIACMD, LE CONSOLE and CMD.
//
// EXECUTA without '&' starts the program in the foreground: in a terminal it
// takes the terminal over (the console is suspended and reads nothing until
// it ends), and the script waits for the user to come back to the console,
// then for the return delay. One or four and more '&' start it detached
// without waiting, two start it hidden, three start it as a console program
// whose standard streams the script holds (ENVIACMD, LE CONSOLE). The
// programs started hidden, as console programs or waited for end with this
// one; those started shown without waiting are the user's and stay. A
// program waited for that ended by the break key (exit code 130) ends this
// one as well: the break reaches the whole program, not only the part of it
// that had the keyboard.
#include <string>

#include "2_config/config.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/command_line.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/program_commands.h"
#include "8_interpreter/program_start.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/console_code_page.h"
#include "1_platform/desktop.h"
#include "1_platform/programs.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

constexpr int kReturnPolls = 50;
constexpr int kPollMs = 100;
constexpr int kDefaultReturnDelay = 1000;
constexpr size_t kConsoleReadMax = 65535;

enum class Launch { kShownWait, kShown, kHidden, kConsole };

Launch LaunchFor(int ampersands) {
  switch (ampersands) {
    case 0: return Launch::kShownWait;
    case 2: return Launch::kHidden;
    case 3: return Launch::kConsole;
    default: return Launch::kShown;
  }
}

// TEMPOESPERAPROGVOLTAR: 0 to 1000 ms; anything else gives 1000.
int ReturnDelay(ConfigState& config) {
  int32_t v = 0;
  if (!ParseConfigInt(ReadConfig(config, cfg::kTempoEsperaProgVoltar), &v) || v < 0 || v > 1000)
    return kDefaultReturnDelay;
  return v;
}

// Waits for the user to come back: first up to 5 s for the started program
// to take the foreground, then as long as it keeps it, then the return delay.
// The console is taken back as soon as the program that held it has ended.
void ReturnWait(Console& console, ConfigState& config, ProgramCommandsState& s) {
  for (int i = 0; i < kReturnPolls; ++i) {
    Delay(console.platform, kPollMs);
    if (!ConsoleInFront(console, s)) break;
  }
  while (!ConsoleInFront(console, s) && !StopRequested(console.platform)) Delay(console.platform, kPollMs);
  Delay(console.platform, ReturnDelay(config));
}

// What the console program wrote on a stream, as Latin-1 text (from the
// host's encoding of console programs' text); a character cut in two by the
// pipe waits for its second half.
std::string TakeProgramText(Platform& p, ProgramCommandsState& s, int stream) {
  std::string& carry = stream == 2 ? s.carry_err : s.carry_out;
  std::string bytes = carry + TakePipedOutput(p, stream, kConsoleReadMax);
  std::string text = ConsoleProgramTextToUtf8(&bytes);
  carry = bytes;
  return Utf8ToLatin1(text);
}

// Keys typed before a program takes the foreground were meant for what came
// before it; left queued they would act (end a field, cut every prompt) when
// the user comes back. They are thrown away, and a click says so; so are
// keys written ahead on standard input that were not typed yet.
void DiscardTypedAhead(InterpreterState& in) {
  bool any = DropKeysWrittenAhead(in.context->console);
  while (KeyPressed(in.context->platform) && !StopRequested(in.context->platform)) {
    ReadKey(in.context->platform);
    any = true;
  }
  if (any) Click(in.context->speech);
}

// The catalogue's reason for a start that failed.
std::string_view StartFailureMessage(StartFailure why) {
  switch (why) {
    case StartFailure::kNotFound: return kMsgProgramNotFound;
    case StartFailure::kNoPermission: return kMsgProgramNoPermission;
    case StartFailure::kNotProgram: return kMsgProgramNotRunnable;
    case StartFailure::kNoProcess: return kMsgProgramNoProcess;
    case StartFailure::kNoMemory: return kMsgProgramNoMemory;
    case StartFailure::kTooManyFiles: return kMsgProgramNoFiles;
    case StartFailure::kTooManyWatched: return kMsgProgramTooMany;
    case StartFailure::kNone:
    case StartFailure::kOther: break;
  }
  return kMsgProgramStartError;
}

}  // namespace

bool ConsoleInFront(Console& console, ProgramCommandsState& s) {
  if (ConsoleProgramRunning(console.platform)) return false;
  if (s.console_handed_over) {
    s.console_handed_over = false;
    ReclaimTerminal(console.platform);
    ResumeConsole(console);
  }
  ForegroundWindow w;
  return !QueryForegroundWindow(console.platform, &w) || w.is_console;
}

std::string ForegroundTitle(Console& console) {
  ForegroundWindow w;
  if (QueryForegroundWindow(console.platform, &w)) return w.title;
  return ConsoleProgramRunning(console.platform) ? std::string() : ConsoleTitle(console);
}

bool CmdExecuta(InterpreterState& in, std::string_view args) {
  int ampersands = 0;
  while (TakeTrailingAmpersand(&args)) ++ampersands;
  std::string line;
  if (!ReadOperand(in, &args, &line) || !args.empty()) return false;
  Launch launch = LaunchFor(ampersands);
  ProgramAndParams split = SplitCommandLine(line);
  WaitSpeech(in.context->speech);
  StartRequest req;
  bool ok = ResolveProgram(ProgramsOf(in.context->platform), in.context->config, split.program, split.params,
                           launch != Launch::kConsole, &req);
  if (!ok) Fail(in, RunFault::kProgramNotStarted, kMsgProgramNotFound, split.program);
  int id = 0;
  if (ok) {
    req.streams = launch == Launch::kShownWait ? ChildStreams::kConsole
                  : launch == Launch::kConsole  ? ChildStreams::kPipes
                                                : ChildStreams::kDetached;
    req.end_with_us = launch != Launch::kShown;
    if (req.streams == ChildStreams::kConsole) {
      DiscardTypedAhead(in);
      SuspendConsole(in.context->console);
    }
    std::string err;
    StartFailure why = StartFailure::kNone;
    id = StartProgram(in.context->platform, req, &err, &why);
    ok = id > 0;
    if (ok && req.streams == ChildStreams::kPipes) in.programs.carry_out.clear(), in.programs.carry_err.clear();
    if (req.streams == ChildStreams::kConsole) {
      if (ok) {
        in.programs.console_handed_over = true;
      } else {
        ResumeConsole(in.context->console);
      }
    }
    if (!ok) Fail(in, RunFault::kProgramNotStarted, StartFailureMessage(why), split.program);
  }
  if (launch == Launch::kShownWait) {
    ReturnWait(in.context->console, in.context->config, in.programs);
    if (ok && ProgramExitCode(in.context->platform, id) == kExitInterrupted) RequestStop(in.context->platform, EndOf(EndReason::kInterrupted));
  }
  return ok;
}

// EXISTEPROG name var [code]: var := "1" when a running program has that
// name. A second variable gets the exit code of the program of that name
// that this script started and that ended last, -1 when none has: so a
// script that waits for its download tool learns how the download went.
// Other text after the first variable is not looked at, as before.
bool CmdExisteProg(InterpreterState& in, std::string_view args) {
  std::string name;
  int slot = 0, code_slot = 0;
  if (!ReadOperand(in, &args, &name) || !ReadVariableRef(in, &args, &slot)) return false;
  bool want_code = !TrimBlanks(args).empty() && ReadVariableRef(in, &args, &code_slot);
  std::string_view bare = TrimBlanks(name);
  Var(in, slot) = ProcessRunningNamed(in.context->platform, bare) ? "1" : "0";
  if (want_code) SetVarNumber(in, code_slot, LastExitCodeNamed(in.context->platform, bare));
  return true;
}

// ENCERRAPROG name: asks the programs this script started that have that
// name (as EXISTEPROG matches it) to end. Programs it did not start are left
// alone. Succeeds also when none was running.
bool CmdEncerraProg(InterpreterState& in, std::string_view args) {
  std::string name;
  if (!ReadOperand(in, &args, &name) || !args.empty()) return false;
  EndProgramsNamed(in.context->platform, TrimBlanks(name));
  return true;
}

// ENVIACMD text: the text and a line end go to the console program's input.
// The line end and the text are the host's (LF, UTF-8): the programs started
// here read their lines the host's way. Nothing waits for the program to read.
bool CmdEnviaCmd(InterpreterState& in, std::string_view args) {
  std::string text;
  if (args.empty() || !ReadOperand(in, &args, &text)) return false;
  Delay(in.context->platform, kPollMs);
  SendToPipedProgram(in.context->platform, Latin1ToUtf8(text) + "\n");
  return true;
}

bool ReadConsoleProgram(InterpreterState& in, std::string_view args) {
  args = TrimBlanks(args.substr(8));  // "CONSOLE "
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  std::string result = TakeProgramText(in.context->platform, in.programs, 1);
  if (!result.empty()) {
    result += "\r\n";
    result += TakeProgramText(in.context->platform, in.programs, 2);
  } else {
    result = TakeProgramText(in.context->platform, in.programs, 2);
  }
  if (!result.empty()) result += "\r\n";
  Var(in, slot) = std::move(result);
  return true;
}

// CMD text: runs the text as one script line.
bool CmdCmd(InterpreterState& in, std::string_view args) {
  std::string line;
  if (!ReadOperand(in, &args, &line) || !args.empty()) return false;
  return ExecuteLine(in, line, true);
}

}  // namespace kal
