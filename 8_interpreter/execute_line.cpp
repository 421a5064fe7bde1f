// Executing one line: blank, comment ('*') and label ('@') lines pass; the
// command word (up to the first space, upper-cased) goes with the rest of
// the line to the dispatcher. Lines of the store were split when stored and
// run from that split; any other text (the command of a one-line SE, a line
// run by CMD) is split here the same way.
#include <string>

#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/dispatcher.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

bool RefusedWhenNested(std::string_view upper_word) {
  return upper_word == "REPETE" || upper_word == "ENQUANTO" || upper_word == "SENAO" ||
         upper_word == "SEN\xC3O" || upper_word == "FIM";
}

// Whether decoded lines may run now (not for commands the limits keep
// out: their handlers refuse them).
bool RunsDecoded(InterpreterState& in, int entry) {
  const auto& s = in;
  if (!s.decode_lines) return false;
  if (!s.commands_limited) return true;
  const auto& allowed = in.limits.allowed_commands;
  return allowed.empty() || (entry >= 0 && allowed[static_cast<size_t>(entry)]);
}

// A decoded line, after the hook that watches lines (as DispatchEntry
// calls it before a handler).
bool RunDecoded(InterpreterState& in, LineCode& code, std::string_view upper_word, std::string_view args) {
  if (in.before_line) in.before_line(in, upper_word, args);
  return RunLineCode(in, code);
}

// A stored line's argument text.
std::string_view ArgsOf(const InterpreterState& in, int n, const LineInfo& info) {
  return std::string_view(in.lines[static_cast<size_t>(n)]).substr(info.args_begin, info.args_size);
}

bool Finish(InterpreterState& in, bool ok) {
  in.error = !ok;
  return ok;
}

}  // namespace

void SplitNestedLine(std::string_view text, NestedCommand* c) {
  std::string_view line = TrimBlanks(text);
  if (line.empty() || line[0] == '*' || line[0] == '@') {
    c->nothing = true;
    return;
  }
  size_t space = line.find(' ');
  c->word = UpperCaseText(line.substr(0, space));
  c->refused = RefusedWhenNested(c->word);
  if (c->refused) c->written.assign(line.substr(0, space));
  c->entry = FindCommand(c->word);
  c->args.assign(TrimBlanks(space == std::string_view::npos ? std::string_view() : line.substr(space + 1)));
}

bool RunNestedCommand(InterpreterState& in, NestedCommand& c) {
  if (c.nothing) return true;
  if (c.refused) return Fail(in, CheckCode::kBlockWithinLine, kMsgBlockWithinLine, c.written);
  auto& s = in;
  if (s.nesting >= kMaxNestedLines) return Fail(in, CheckCode::kNestedTooDeep, std::string(kMsgNestedTooDeep));
  ++s.nesting;
  bool ok = c.code && RunsDecoded(in, c.entry) ? RunDecoded(in, *c.code, c.word, c.args)
                                               : DispatchEntry(in, c.entry, c.word, c.args);
  --s.nesting;
  return ok;
}

bool ExecuteLine(InterpreterState& in, std::string_view text, bool nested) {
  if (nested) {
    NestedCommand c;
    SplitNestedLine(text, &c);
    return Finish(in, RunNestedCommand(in, c));
  }
  ClearFailReason(in);
  std::string_view line = TrimBlanks(text);
  if (line.empty() || line[0] == '*' || line[0] == '@') return Finish(in, true);
  size_t space = line.find(' ');
  std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
  return Finish(in, DispatchCommand(in, line.substr(0, space), rest));
}

bool ExecuteStoredLine(InterpreterState& in, int n, bool* quiet) {
  auto& s = in;
  *quiet = false;
  const LineInfo& info = s.index.lines[static_cast<size_t>(n)];
  if (!info.command) return Finish(in, true);
  if (RunsDecoded(in, info.entry)) {
    LineCode& code = CodeOfLine(in, s.index, n);
    if (code.kind != LineKind::kByHandler) {
      if (s.before_line) s.before_line(in, info.word, ArgsOf(in, n, info));
      bool ok = RunLineCode(in, code);
      *quiet = ok && code.quiet;
      return Finish(in, ok);
    }
  }
  return Finish(in, DispatchEntry(in, info.entry, info.word, ArgsOf(in, n, info)));
}

}  // namespace kal
