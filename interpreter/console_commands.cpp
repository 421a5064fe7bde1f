// ESCREVE on the console: writes the joined operands as a line (no line end
// with a trailing '&') and speaks them unless MUDO. The channel form
// (ESCREVE #d ...) belongs to the file commands.
#include "console/console.h"
#include "console/speech.h"
#include "interpreter/commands.h"
#include "interpreter/interpreter.h"
#include "interpreter/operands.h"

namespace kal {

// Reads operands one after another while they read, joining their values.
// *args keeps what could not be read.
std::string JoinOperands(std::string_view* args) {
  std::string joined, value;
  while (!args->empty()) {
    std::string_view before = *args;
    if (!ReadOperand(args, &value)) {
      *args = before;
      break;
    }
    joined += value;
  }
  return joined;
}

bool CmdEscreve(std::string_view args) {
  SetLastStatus(0);
  bool no_line_end = TakeTrailingAmpersand(&args);
  if (!args.empty() && args[0] == '#') return false;  // channel form: not built in yet
  bool mute = StartsWithKeyword(args, "MUDO");
  if (mute) args = TrimBlanks(args.substr(4));
  if (args.empty()) {
    ConsoleWrite("\r\n");
    if (!mute) SpeakText("");
    WaitSpeech();
    return true;
  }
  std::string text = JoinOperands(&args);
  ConsoleWrite(text);
  if (!no_line_end) ConsoleWrite("\r\n");
  if (!mute) SpeakText(text);
  WaitSpeech();
  return args.empty();
}

}  // namespace kal
