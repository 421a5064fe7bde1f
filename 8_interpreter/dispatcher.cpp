// The dispatcher and DEBUG (a hook that both ways of running a line call).
#include "8_interpreter/dispatcher.h"

#include <string>
#include <unordered_map>

#include "5_speech/speech.h"
#include "6_console/write_and_speak.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

int FindCommand(std::string_view upper_word) {
  static const auto* const kIndex = [] {
    auto* m = new std::unordered_map<std::string_view, int>();
    for (int i = 0; i < kCommandCount; ++i) m->emplace(kCommandTable[i].word, i);
    return m;
  }();
  auto it = kIndex->find(upper_word);
  return it == kIndex->end() ? -1 : it->second;
}

bool DispatchEntry(InterpreterState& in, int entry, std::string_view upper_word, std::string_view args) {
  if (in.before_line) in.before_line(in, upper_word, args);
  CommandHandler handler = entry >= 0 ? kCommandTable[entry].handler : nullptr;
  const auto& allowed = in.limits.allowed_commands;
  if (!allowed.empty() && entry >= 0 && !allowed[static_cast<size_t>(entry)]) handler = nullptr;
  if (!handler) return Fail(in, CheckCode::kUnknownCommand, kMsgInvalidCommand, upper_word);
  return handler(in, args);
}

bool DispatchCommand(InterpreterState& in, std::string_view word, std::string_view rest) {
  std::string upper = UpperCaseText(word);
  return DispatchEntry(in, FindCommand(upper), upper, TrimBlanks(rest));
}

namespace {

// DEBUG's hook: every command line is written and spoken as it runs, its
// word upper-cased.
void EchoLine(InterpreterState& in, std::string_view upper_word, std::string_view args) {
  std::string echo(upper_word);
  echo.push_back(' ');
  echo.append(args);
  WriteLineAndSpeak(in.context->console, echo);
}

}  // namespace

bool CmdDebug(InterpreterState& in, std::string_view args) {
  bool off = args == "-" || (!args.empty() && args[0] == 'N');
  in.before_line = off ? nullptr : EchoLine;
  SayLine(in, off ? kMsgDebugOff : kMsgDebugOn);
  return true;
}

}  // namespace kal
