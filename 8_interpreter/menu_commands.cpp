// MENU CRIA x1 y1 x2 y2 | ADICIONA text | EXECUTA varPos varKey varText |
// TERMINA: the speaking selection list of the console (6_console/console_menu).
// Every form fails when anything follows its operands, after doing its work.
#include <optional>
#include <string>

#include "6_console/console_menu.h"
#include "1_platform/stop_request.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

bool ReadInteger(InterpreterState& in, std::string_view* args, int32_t* value) {
  std::string text;
  return ReadOperand(in, args, &text) && ParseNumber(TrimBlanks(text), value);
}

bool MenuCreate(InterpreterState& in, std::string_view args) {
  int32_t x1, y1, x2, y2;
  if (!ReadInteger(in, &args, &x1) || !ReadInteger(in, &args, &y1) || !ReadInteger(in, &args, &x2) ||
      !ReadInteger(in, &args, &y2))
    return false;
  if (!CreateConsoleMenu(in.context->console, x1, y1, x2, y2)) return false;
  return TrimBlanks(args).empty();
}

bool MenuAddItem(InterpreterState& in, std::string_view args) {
  std::string text;
  if (!ReadOperand(in, &args, &text)) return false;
  switch (AddConsoleMenuItem(in.context->console, std::move(text))) {
    case MenuAdd::kNoMenu: return Fail(in, RunFault::kChannelNotOpen, std::string(kMsgNoMenu));
    case MenuAdd::kFull: return Fail(in, RunFault::kLimitReached, std::string(kMsgMenuFull));
    case MenuAdd::kAdded: break;
  }
  return TrimBlanks(args).empty();
}

bool MenuExecute(InterpreterState& in, std::string_view args) {
  int pos_slot, key_slot, text_slot;
  if (!ReadVariableRef(in, &args, &pos_slot) || !ReadVariableRef(in, &args, &key_slot) ||
      !ReadVariableRef(in, &args, &text_slot))
    return false;
  int32_t n;
  std::optional<int> start;
  if (ParseNumber(TrimBlanks(Var(in, pos_slot)), &n)) start = n;
  MenuChoice choice;
  // No menu, or a stop asked for while it waited (which the run reports).
  if (!RunConsoleMenu(in.context->console, start, &choice))
    return StopRequested(in.context->platform) ? false : Fail(in, RunFault::kChannelNotOpen, std::string(kMsgNoMenu));
  Var(in, pos_slot) = NumberToText(choice.position);
  Var(in, key_slot) = choice.key;
  Var(in, text_slot) = choice.text;
  return TrimBlanks(args).empty();
}

bool MenuEnd(InterpreterState& in, std::string_view args) {
  EndConsoleMenu(in.context->console);
  return TrimBlanks(args).empty();
}

}  // namespace

bool CmdMenu(InterpreterState& in, std::string_view args) {
  struct Sub {
    std::string_view word;
    bool (*run)(InterpreterState&, std::string_view);
  };
  static constexpr Sub kSubs[] = {
      {"CRIA", MenuCreate}, {"ADICIONA", MenuAddItem}, {"EXECUTA", MenuExecute}, {"TERMINA", MenuEnd}};
  args = TrimBlanks(args);
  for (const Sub& sub : kSubs) {
    if (!StartsWithKeyword(args, sub.word)) continue;
    return sub.run(in, TrimBlanks(args.substr(sub.word.size())));
  }
  return false;
}

}  // namespace kal
