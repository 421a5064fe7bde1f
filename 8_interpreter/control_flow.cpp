// Control flow: SE / SENAO / FIM SE, ENQUANTO, REPETE, FIM, DESVIA, CHAMA,
// RETORNA, TERMINA. Every command here moves the current line of the run
// loop; partner lines are found in the scan tables of the store, which
// answer as a textual scan of the lines would. A handler that wants line L
// to run next sets the current line to L - 1 (the loop then advances).
#include <string>

#include "5_speech/speech.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/conditions.h"
#include "8_interpreter/control_flow.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

void SkipToEnd(InterpreterState& in, Block block) {
  auto& s = in;
  const ScanTables& t = Scans(in);
  const std::vector<int>& next = block == Block::kSe         ? t.next_fim_se
                                 : block == Block::kEnquanto ? t.next_fim_enquanto
                                                             : t.next_fim_repete;
  s.current_line = next[t.At(s.current_line)];
}

void SkipFalseBlock(InterpreterState& in) {
  auto& s = in;
  const ScanTables& t = Scans(in);
  int depth = 1;
  for (int n = s.current_line + 1; n <= t.line_count; ++n) {
    switch (t.form[static_cast<size_t>(n)]) {
      case ScanForm::kSeHead: {
        std::string_view cond = t.se_condition[static_cast<size_t>(n)];
        bool truth;
        if (EvaluateCondition(in, &cond, &truth) && cond.empty()) ++depth;
        break;
      }
      case ScanForm::kFimSe:
        if (--depth == 0) {
          s.current_line = n;
          return;
        }
        break;
      case ScanForm::kSenao:
        if (depth == 1) {
          s.current_line = n;
          return;
        }
        break;
      default:
        break;
    }
  }
  s.current_line = t.line_count + 1;
}

bool RunCommandWithinLine(InterpreterState& in, std::string_view command, NestedCommand* decoded) {
  return decoded ? RunNestedCommand(in, *decoded) : ExecuteLine(in, command, true);
}

bool FindUpperLabel(InterpreterState& in, std::string_view upper_name) {
  const ScanTables& t = Scans(in);
  auto it = t.labels.find(upper_name);
  if (it == t.labels.end()) return false;
  in.current_line = it->second;
  return true;
}

namespace {

bool IsWord(std::string_view args, std::string_view upper_word) {
  return args.size() == upper_word.size() && StartsWithKeyword(args, upper_word);
}

// REPETE's operands: the variable, then the count (read again at every
// step); text may follow.
// The target of DESVIA and CHAMA: @name (no space in it) or an operand
// whose value is the name.
bool ReadTarget(InterpreterState& in, std::string_view args, std::string* name) {
  if (args.empty()) return false;
  if (args[0] == '@') {
    std::string_view written;
    if (!ReadWrittenLabel(args, &written)) return false;
    name->assign(written);
    return true;
  }
  return ReadOperand(in, &args, name) && args.empty();
}

// A label a line names, as written or as a variable holds it.
bool FindLabel(InterpreterState& in, std::string_view name) {
  return FindUpperLabel(in, UpperCaseText(name)) || Fail(in, CheckCode::kLabelNotFound, kMsgLabelNotFound, name);
}

}  // namespace

bool CmdSe(InterpreterState& in, std::string_view args) {
  bool truth;
  return EvaluateCondition(in, &args, &truth) && SeOutcome(in, truth, args, nullptr);
}

bool CmdSenao(InterpreterState& in, std::string_view args) {
  if (!args.empty()) return false;
  SkipToEnd(in, Block::kSe);
  return true;
}

bool CmdEnquanto(InterpreterState& in, std::string_view args) {
  bool truth;
  if (!EvaluateCondition(in, &args, &truth)) return false;
  EnquantoOutcome(in, truth);
  return true;
}

// REPETE var count and FIM (a FIM REPETE steps the counter of its head
// line), decoded and run as stored lines are (line_code.h).
bool CmdRepete(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "REPETE", args); }
bool CmdFim(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "FIM", args); }

bool CmdDesvia(InterpreterState& in, std::string_view args) {
  std::string name;
  return ReadTarget(in, args, &name) && FindLabel(in, name);
}

bool CmdChama(InterpreterState& in, std::string_view args) {
  std::string name;
  if (!ReadTarget(in, args, &name)) return false;
  auto& s = in;
  if (s.call_depth >= kCallStackSize)
    return Fail(in, RunFault::kTooManyCalls, std::string(kMsgTooManyCalls));
  s.call_stack[static_cast<size_t>(s.call_depth++)] = s.current_line;
  return FindLabel(in, name);
}

bool CmdRetorna(InterpreterState& in, std::string_view args) {
  if (!args.empty()) return false;
  auto& s = in;
  if (s.call_depth == 0) return Fail(in, RunFault::kReturnWithoutCall, std::string(kMsgReturnWithoutCall));
  s.current_line = s.call_stack[static_cast<size_t>(--s.call_depth)];
  return true;
}

namespace {

std::string_view LastWord(std::string_view text) {
  size_t cut = text.size();
  while (cut > 0 && !IsBlank(text[cut - 1])) --cut;
  return text.substr(cut);
}

}  // namespace

// The exit code at the end of TERMINA's text: a last word of decimal digits.
// *code stays 0 and *rest the whole text when there is none; false for a
// code outside 0 to 255, which a program cannot end with.
bool TakeExitCode(std::string_view* rest, int* code) {
  size_t cut = rest->size();
  while (cut > 0 && !IsBlank((*rest)[cut - 1])) --cut;
  std::string_view word = rest->substr(cut);
  if (word.empty() || word.find_first_not_of("0123456789") != std::string_view::npos) return true;
  if (word.size() > 3 || std::stoi(std::string(word)) > 255) return false;
  *code = std::stoi(std::string(word));
  *rest = TrimBlanks(rest->substr(0, cut));
  return true;
}

// TERMINA [MUDO] [code]: ends the run; MUDO leaves out the spoken end, and
// the code (0 to 255) becomes the program's exit code, so that a script
// can end on a failure of its own without the error report. Other words
// after TERMINA are ignored.
bool CmdTermina(InterpreterState& in, std::string_view args) {
  auto& s = in;
  int code = 0;
  if (!TakeExitCode(&args, &code)) return Fail(in, CheckCode::kOutOfRange, kMsgExitCodeRange, LastWord(args));
  s.stop = true;
  s.quiet_end = IsWord(args, "MUDO");
  s.exit_code = code;
  return true;
}

}  // namespace kal
