// Starting and talking to other programs: EXECUTA, EXISTEPROG, ENVIACMD,
// LE CONSOLE and CMD.
//
// EXECUTA without '&' starts the program in the foreground: in a terminal it
// takes the terminal over (the console is suspended and reads nothing until
// it ends), and the script waits for the user to come back to the console,
// then for the return delay. One or four and more '&' start it detached
// without waiting, two start it hidden, three start it as a console program
// whose standard streams the script holds (ENVIACMD, LE CONSOLE).
#include <string>

#include "console/config.h"
#include "console/console.h"
#include "console/speech.h"
#include "interpreter/command_line.h"
#include "interpreter/commands.h"
#include "interpreter/interpreter.h"
#include "interpreter/operands.h"
#include "interpreter/program_commands.h"
#include "interpreter/program_start.h"
#include "interpreter/variables.h"
#include "platform/desktop.h"
#include "platform/programs.h"

namespace kal {
namespace {

constexpr int kReturnPolls = 50;
constexpr int kPollMs = 100;
constexpr int kDefaultReturnDelay = 1000;
constexpr size_t kConsoleReadMax = 65535;

// True while a program started in the foreground holds the console.
bool console_handed_over = false;

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
int ReturnDelay() {
  int32_t v = 0;
  if (!ParseConfigInt(ReadConfig("TALVEN", "TEMPOESPERAPROGVOLTAR"), &v) || v < 0 || v > 1000)
    return kDefaultReturnDelay;
  return v;
}

// Waits for the user to come back: first up to 5 s for the started program
// to take the foreground, then as long as it keeps it, then the return delay.
// The console is taken back as soon as the program that held it has ended.
void ReturnWait() {
  for (int i = 0; i < kReturnPolls; ++i) {
    Delay(kPollMs);
    if (!ConsoleInFront()) break;
  }
  while (!ConsoleInFront()) Delay(kPollMs);
  Delay(ReturnDelay());
}

}  // namespace

bool ConsoleInFront() {
  if (ConsoleProgramRunning()) return false;
  if (console_handed_over) {
    console_handed_over = false;
    ReclaimTerminal();
    ResumeConsole();
  }
  ForegroundWindow w;
  return !QueryForegroundWindow(&w) || w.is_console;
}

std::string ForegroundTitle() {
  ForegroundWindow w;
  if (QueryForegroundWindow(&w)) return w.title;
  return ConsoleProgramRunning() ? std::string() : ConsoleTitle();
}

bool CmdExecuta(std::string_view args) {
  int ampersands = 0;
  while (TakeTrailingAmpersand(&args)) ++ampersands;
  std::string line;
  if (!ReadOperand(&args, &line) || !args.empty()) return false;
  Launch launch = LaunchFor(ampersands);
  ProgramAndParams split = SplitCommandLine(line);
  WaitSpeech();
  StartRequest req;
  bool ok = ResolveProgram(split.program, split.params, launch != Launch::kConsole, &req);
  if (ok) {
    req.streams = launch == Launch::kShownWait ? ChildStreams::kConsole
                  : launch == Launch::kConsole  ? ChildStreams::kPipes
                                                : ChildStreams::kDetached;
    if (req.streams == ChildStreams::kConsole) SuspendConsole();
    std::string err;
    ok = StartProgram(req, &err) > 0;
    if (req.streams == ChildStreams::kConsole) {
      if (ok) {
        console_handed_over = true;
      } else {
        ResumeConsole();
      }
    }
  }
  if (launch == Launch::kShownWait) ReturnWait();
  return ok;
}

// EXISTEPROG name var: var := "1" when a running program has that name.
bool CmdExisteProg(std::string_view args) {
  std::string name;
  int slot = 0;
  if (!ReadOperand(&args, &name) || !ReadVariableRef(&args, &slot)) return false;
  Var(slot) = ProcessRunningNamed(TrimBlanks(name)) ? "1" : "0";
  return true;
}

// ENVIACMD text: the text and a line end go to the console program's input.
// The line end is the host's (LF): the programs started here read their
// lines the host's way. Nothing waits for the program to read.
bool CmdEnviaCmd(std::string_view args) {
  std::string text;
  if (args.empty() || !ReadOperand(&args, &text)) return false;
  Delay(kPollMs);
  SendToPipedProgram(text + "\n");
  return true;
}

bool ReadConsoleProgram(std::string_view args) {
  args = TrimBlanks(args.substr(8));  // "CONSOLE "
  int slot = 0;
  if (!ReadVariableRef(&args, &slot)) return false;
  std::string result = TakePipedOutput(1, kConsoleReadMax);
  if (!result.empty()) {
    result += "\r\n";
    result += TakePipedOutput(2, kConsoleReadMax);
  } else {
    result = TakePipedOutput(2, kConsoleReadMax);
  }
  if (!result.empty()) result += "\r\n";
  Var(slot) = std::move(result);
  return true;
}

// CMD text: runs the text as one script line.
bool CmdCmd(std::string_view args) {
  std::string line;
  if (!ReadOperand(&args, &line) || !args.empty()) return false;
  return ExecuteLine(line, true);
}

}  // namespace kal
