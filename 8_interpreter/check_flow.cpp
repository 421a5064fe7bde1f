// The warnings that only the whole script shows, after its lines have been
// read one by one: a line right after TERMINA or DESVIA that nothing can
// reach, a label nothing jumps to, RETORNA where nothing calls.
//
// Each is said only where no run could prove it wrong. A line is reached
// by running into it, by a jump (which lands only on a label line), or by
// a block's skip or loop (which lands on SENÃO, FIM or a loop's head), so
// only a line that is none of those, right after an unconditional end or
// jump, is unreachable. A jump whose label is a value may land anywhere,
// so then no label is said unused; a label named after '@' anywhere in a
// command line (a jump within a line, a line CMD runs) counts as used.
#include <string>
#include <string_view>
#include <unordered_set>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/check_state.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

const LineInfo& InfoOf(const Checker& c, int n) { return c.in.index.lines[static_cast<size_t>(n)]; }

std::string_view LineText(const Checker& c, int n) { return c.in.lines[static_cast<size_t>(n)]; }

// Points the checker at line n, for the findings said on it.
void At(Checker& c, int n) {
  c.line = n;
  c.text = LineText(c, n);
}

// A line the run may land on without running into it: a label, SENÃO,
// FIM of any word, a loop's head.
bool MayBeLandedOn(const Checker& c, int n) {
  const LineInfo& info = InfoOf(c, n);
  if (!info.command) return !LineText(c, n).empty() && LineText(c, n)[0] == '@';
  const std::string& w = info.word;
  return w == "SENAO" || w == "SEN\xC3O" || w == "FIM" || w == "ENQUANTO" || w == "REPETE";
}

// The next line after n that does something or can be landed on (blank,
// comment and indented label lines do nothing); 0 when none.
int NextLineOfNote(const Checker& c, int n) {
  for (int m = n + 1; m <= c.in.line_count; ++m)
    if (InfoOf(c, m).command || MayBeLandedOn(c, m)) return m;
  return 0;
}

void CheckUnreachable(Checker& c) {
  for (int n = 1; n <= c.in.line_count; ++n) {
    const LineInfo& info = InfoOf(c, n);
    if (!info.command || (info.word != "TERMINA" && info.word != "DESVIA")) continue;
    int m = NextLineOfNote(c, n);
    if (m == 0 || MayBeLandedOn(c, m)) continue;
    At(c, m);
    std::string_view trimmed = TrimBlanks(c.text);
    c.Add(CheckCode::kUnreachable, trimmed, Filled(kMsgUnreachable, {info.word, std::to_string(n)}), trimmed.size());
  }
}

// The name at the front of text, up to a blank or a quote mark (a jump
// written within a quoted line that CMD runs ends at the quote).
std::string_view NameAfterAt(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != '"') ++end;
  return text.substr(0, end);
}

// The upper-cased names after '@' in the command lines.
std::unordered_set<std::string> NamedLabels(const Checker& c) {
  std::unordered_set<std::string> named;
  for (int n = 1; n <= c.in.line_count; ++n) {
    if (!InfoOf(c, n).command) continue;
    std::string_view text = LineText(c, n);
    for (size_t at = text.find('@'); at != std::string_view::npos; at = text.find('@', at + 1))
      named.insert(UpperCaseText(NameAfterAt(text.substr(at + 1))));
  }
  return named;
}

void CheckLabelsUsed(Checker& c) {
  if (c.computed_target) return;
  std::unordered_set<std::string> named = NamedLabels(c);
  for (const auto& [name, n] : Scans(c.in).labels) {
    if (named.count(name) != 0) continue;
    At(c, n);
    c.Add(CheckCode::kLabelUnused, c.text, Filled(kMsgLabelUnused, {Latin1ToUtf8(c.text)}), c.text.size());
  }
}

// Any command line that names CHAMA (as its word, within a one-line SE,
// in a line CMD runs).
bool AnyChama(const Checker& c) {
  for (int n = 1; n <= c.in.line_count; ++n)
    if (InfoOf(c, n).command && UpperCaseText(LineText(c, n)).find("CHAMA") != std::string::npos) return true;
  return false;
}

void CheckReturns(Checker& c) {
  if (c.computed_target || AnyChama(c)) return;
  for (int n = 1; n <= c.in.line_count; ++n) {
    const LineInfo& info = InfoOf(c, n);
    if (!info.command || info.word != "RETORNA") continue;
    At(c, n);
    c.Add(CheckCode::kReturnWithoutCall, TrimFrontBlanks(c.text), std::string(kMsgReturnWithoutAnyCall));
  }
}

// A variable read and never set: its first read, once per variable. A
// name written only in a line that CMD runs is not seen, so with a CMD in
// the script nothing is said.
void CheckVariablesSet(Checker& c) {
  if (c.sets_unknown) return;
  for (const auto& [key, place] : c.read_vars) {
    if (c.set_vars.count(key) != 0) continue;
    At(c, place.line);
    c.Add(CheckCode::kNeverSet, c.text.substr(place.offset), Filled(kMsgNeverSet, {Latin1ToUtf8(key)}), place.length);
  }
}

void NoteReadOf(Checker& c, const VarRef& ref, std::string_view at) {
  std::string key = VarKey(ref);
  if (c.read_vars.count(key) != 0 || c.line_alone) return;
  size_t offset = at.data() >= c.text.data() && at.data() <= c.text.data() + c.text.size()
                      ? static_cast<size_t>(at.data() - c.text.data())
                      : c.text.size();
  c.read_vars.emplace(std::move(key), Checker::Place{c.line, offset, at.size()});
}

}  // namespace

std::string VarKey(const VarRef& ref) {
  if (!ref.name.empty()) return "$" + UpperCaseText(ref.name);
  return std::string(1, static_cast<char>('A' + ref.slot - 1));
}

void NoteRead(Checker& c, const Operand& op, std::string_view at) {
  if (op.kind == Operand::Kind::kVariable) NoteReadOf(c, op.var, at);
  if (op.kind == Operand::Kind::kExpression)
    for (const VarRef& ref : op.expr.vars) NoteReadOf(c, ref, at);
}

void CheckFlow(Checker& c) {
  CheckUnreachable(c);
  CheckLabelsUsed(c);
  CheckReturns(c);
  CheckVariablesSet(c);
}

}  // namespace kal
