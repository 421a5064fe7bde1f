// The script check. The lines are stored in an interpreter of the check's
// own, which splits them (AnalyseLine) and finds the labels (Scans) as a
// run would; operands are read with the decoders' readers, which read the
// text alone. Block structure is followed with a stack, and each mismatch
// is said where the run would go wrong: FIM ENQUANTO and FIM REPETE go back
// to the nearest head above them, and SENÃO skips to the next FIM SE.
#include "8_interpreter/script_check.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

enum class BlockKind : uint8_t { kSe, kEnquanto, kRepete };

constexpr int kBlockKinds = 3;

// A block not yet closed, on a stack. Each keeps where the nearest block of
// each kind at or below it stands, and the nearest SE below it that has had
// its SENÃO, so that opening and closing look at no other entry: the check
// stays linear however many blocks are left open.
struct OpenBlock {
  BlockKind kind;
  int line;
  int senao_line = 0;  // kSe: its SENÃO, 0 before it
  int nearest[kBlockKinds] = {-1, -1, -1};  // indexes into the stack, -1 none
  int senao_below = -1;                     // the nearest SE below with a SENÃO
};

const char* BlockWord(BlockKind kind) {
  return kind == BlockKind::kSe ? "SE" : kind == BlockKind::kEnquanto ? "ENQUANTO" : "REPETE";
}

std::string_view FirstWord(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(0, end);
}

struct Checker {
  explicit Checker(InterpreterState& state, bool alone) : in(state), line_alone(alone) {}
  InterpreterState& in;
  // Only what makes this one line fail when it runs: no block structure
  // (the run finds its partners in the scan tables), no variable count,
  // no unclosed quote (the operand takes the rest of the line), and no
  // unknown word (the dispatcher says that itself).
  bool line_alone;
  std::vector<CheckFinding> found;
  std::unordered_set<std::string> said;  // each finding's key, said once
  std::vector<OpenBlock> open;
  std::unordered_map<std::string, int> names;  // upper-cased $names seen
  int line = 0;
  std::string_view text;  // the stored line being looked at
  int depth = 0;          // lines within the line being looked at, as the run nests them

  // A finding at the start of `at` (a part of the line), or at the line's
  // end when `at` is empty and not within it.
  void Add(std::string_view at, std::string message) {
    size_t offset = text.size();
    if (at.data() >= text.data() && at.data() <= text.data() + text.size())
      offset = static_cast<size_t>(at.data() - text.data());
    int column = static_cast<int>(offset) + 1;
    std::string key = std::to_string(line) + ':' + std::to_string(column) + ':' + message;
    if (!said.insert(std::move(key)).second) return;
    found.push_back({line, column, std::move(message)});
  }
};

// The operands a command's handler reads (its entry in the command table).
std::string_view OperandsOf(std::string_view upper_word) {
  int entry = FindCommand(upper_word);
  return entry < 0 ? std::string_view() : kCommandTable[entry].operands;
}

// Operands by the readers' rules, left to right, after a signature: 'v' a
// variable, 'o' an operand, '.' nothing more. False after a finding.
bool ReadSignature(Checker& c, std::string_view args, std::string_view signature) {
  for (char want : signature) {
    if (want == '.') {
      if (!args.empty()) {
        c.Add(args, std::string(kMsgTextLeft) + Latin1ToUtf8(args));
        return false;
      }
    } else if (want == 'v') {
      VarRef ref;
      std::string_view before = TrimFrontBlanks(args);
      if (!DecodeVarRef(&args, &ref)) {
        c.Add(before, before.empty() ? std::string(kMsgNoOperand)
                                     : std::string(kMsgExpectedVariable) + Latin1ToUtf8(FirstWord(before)));
        return false;
      }
    } else {
      Operand op;
      std::string_view before = TrimFrontBlanks(args);
      if (!DecodeOperand(c.in, &args, &op)) {
        c.Add(before, OperandFault(before));
        return false;
      }
    }
  }
  return true;
}

void CheckCommand(Checker& c, std::string_view word, std::string_view args, bool within_line);

// The message with {0}, {1}, ... replaced by the values in that order.
std::string Filled(std::string_view message, std::initializer_list<std::string_view> values) {
  std::string out;
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '{' && i + 2 < message.size() && message[i + 2] == '}') {
      size_t n = static_cast<size_t>(message[i + 1] - '0');
      if (n < values.size()) {
        out.append(values.begin()[n]);
        i += 2;
        continue;
      }
    }
    out += message[i];
  }
  return out;
}

int Kind(BlockKind kind) { return static_cast<int>(kind); }

// The stack index of the nearest open block of that kind, -1 when none.
int Nearest(const Checker& c, BlockKind kind) { return c.open.empty() ? -1 : c.open.back().nearest[Kind(kind)]; }

// The stack index of the nearest open SE that has had its SENÃO, -1 when none.
int NearestAfterSenao(const Checker& c) {
  if (c.open.empty()) return -1;
  const OpenBlock& top = c.open.back();
  return top.kind == BlockKind::kSe && top.senao_line != 0 ? static_cast<int>(c.open.size()) - 1 : top.senao_below;
}

// A block opened on the current line. A loop inside another of its kind,
// and a SE after a SENÃO, are said once, of the nearest such block.
void OpenBlockAt(Checker& c, BlockKind kind) {
  if (c.line_alone) return;
  OpenBlock block{kind, c.line};
  int same = Nearest(c, kind);
  block.senao_below = NearestAfterSenao(c);
  if (kind != BlockKind::kSe && same >= 0)
    c.Add(TrimFrontBlanks(c.text), Filled(kMsgBlockInSameBlock, {BlockWord(kind), std::to_string(c.open[static_cast<size_t>(same)].line)}));
  if (kind == BlockKind::kSe && block.senao_below >= 0)
    c.Add(TrimFrontBlanks(c.text),
          Filled(kMsgSeAfterSenao, {std::to_string(c.open[static_cast<size_t>(block.senao_below)].senao_line)}));
  if (!c.open.empty()) std::copy(std::begin(c.open.back().nearest), std::end(c.open.back().nearest), block.nearest);
  block.nearest[Kind(kind)] = static_cast<int>(c.open.size());
  c.open.push_back(block);
}

void CloseBlock(Checker& c, BlockKind kind, std::string_view at) {
  if (c.line_alone) {
    const ScanTables& t = Scans(c.in);
    size_t n = static_cast<size_t>(c.line);
    if ((kind == BlockKind::kEnquanto && t.prev_enquanto[n] == 0) || (kind == BlockKind::kRepete && t.prev_repete[n] == 0))
      c.Add(at, Filled(kMsgFimWithoutBlock, {BlockWord(kind)}));
    return;
  }
  int i = Nearest(c, kind);
  if (i < 0) {
    c.Add(at, Filled(kMsgFimWithoutBlock, {BlockWord(kind)}));
    return;
  }
  if (static_cast<size_t>(i) + 1 != c.open.size()) {
    const OpenBlock& inner = c.open.back();
    c.Add(at, Filled(kMsgFimBeforeInner, {BlockWord(kind), BlockWord(inner.kind), std::to_string(inner.line)}));
  }
  c.open.resize(static_cast<size_t>(i));
}

bool IsWord(std::string_view args, std::string_view upper_word) {
  return args.size() == upper_word.size() && StartsWithKeyword(args, upper_word);
}

void CheckFim(Checker& c, std::string_view args, std::string_view word) {
  if (args.empty()) {
    c.Add(word, std::string(kMsgFimWithoutName));
  } else if (IsWord(args, "SE")) {
    CloseBlock(c, BlockKind::kSe, word);
  } else if (IsWord(args, "ENQUANTO")) {
    CloseBlock(c, BlockKind::kEnquanto, word);
  } else if (IsWord(args, "REPETE")) {
    CloseBlock(c, BlockKind::kRepete, word);
  } else if (!c.line_alone) {
    c.Add(args, std::string(kMsgUnknownBlock) + Latin1ToUtf8(args));
  }
}

void CheckSenao(Checker& c, std::string_view args, std::string_view word) {
  if (!args.empty()) c.Add(args, std::string(kMsgTextLeft) + Latin1ToUtf8(args));
  if (c.line_alone) return;
  if (!c.open.empty() && c.open.back().kind == BlockKind::kSe && c.open.back().senao_line == 0) {
    c.open.back().senao_line = c.line;
  } else if (!c.open.empty() && c.open.back().kind == BlockKind::kSe) {
    c.Add(word, Filled(kMsgSecondSenao, {std::to_string(c.open.back().line)}));
  } else {
    c.Add(word, std::string(kMsgSenaoOutsideSe));
  }
}

// The condition of SE and ENQUANTO; *rest is what follows it.
bool CheckCondition(Checker& c, std::string_view args, std::string_view* rest) {
  Condition cond;
  ShapeStop stop;
  if (DecodeConditionShape(c.in, args, &cond, rest, &stop)) return true;
  std::string_view at = TrimFrontBlanks(stop.at);
  switch (stop.need) {
    case ShapeNeed::kOperator:
      c.Add(at, at.empty() ? std::string(kMsgNoOperator) : std::string(kMsgExpectedOperator) + Latin1ToUtf8(FirstWord(at)));
      break;
    case ShapeNeed::kList: c.Add(at, std::string(kMsgExpectedList) + Latin1ToUtf8(FirstWord(at))); break;
    default: c.Add(at, OperandFault(at)); break;
  }
  return false;
}

// SE: its condition, then a block opened or the command after it on the
// line. Returns the part of the arguments that is SE's own (its condition
// when a command follows, which is looked at by itself), so that a line of
// chained SEs is read once, not once per SE.
std::string_view CheckSe(Checker& c, std::string_view args, bool within_line) {
  std::string_view rest;
  if (!CheckCondition(c, args, &rest)) return args;
  if (rest.empty()) {
    if (!within_line) OpenBlockAt(c, BlockKind::kSe);
    return args;
  }
  std::string_view own = args.substr(0, static_cast<size_t>(rest.data() - args.data()));
  LineInfo nested;
  AnalyseLine(rest, &nested);
  if (!nested.command) return args;
  std::string_view line = TrimBlanks(rest);
  if (c.depth >= kMaxNestedLines) {
    if (!c.line_alone) c.Add(line, std::string(kMsgNestedTooDeep));  // a run says it itself
    return own;
  }
  ++c.depth;
  CheckCommand(c, line.substr(0, line.find(' ')), rest.substr(nested.args_begin, nested.args_size), true);
  --c.depth;
  return own;
}

// DESVIA and CHAMA: @label, which must be there, or an operand naming it.
void CheckTarget(Checker& c, std::string_view args, std::string_view word) {
  if (args.empty()) {
    c.Add(word, std::string(kMsgNoLabel));
  } else if (args[0] != '@') {
    ReadSignature(c, args, "o.");
  } else if (args.find(' ') != std::string_view::npos) {
    c.Add(args, std::string(kMsgLabelWithSpace) + Latin1ToUtf8(args.substr(1)));
  } else if (Scans(c.in).labels.count(UpperCaseText(args.substr(1))) == 0) {
    c.Add(args, std::string(kMsgLabelNotFound) + Latin1ToUtf8(args.substr(1)));
  }
}

// SEJA var [=] value: a built-in value (read by its own words) or one operand.
void CheckSeja(Checker& c, std::string_view args) {
  if (!ReadSignature(c, args, "v")) return;
  VarRef ref;
  DecodeVarRef(&args, &ref);
  if (!args.empty() && args[0] == '=') args = TrimBlanks(args.substr(1));
  if (args.empty()) {
    c.Add(args, std::string(kMsgNoOperand));
    return;
  }
  if (!NamesBuiltInValue(args)) ReadSignature(c, args, "o.");
}

// An unclosed quote mark anywhere in the argument text; a parenthesis that
// opens an operand (at the start of the text or after a blank) and is not
// closed, or whose expression does not read: the first such one, as a run
// stops there (parentheses within an operand that reads are not read
// again, so that each byte is read a bounded number of times).
void CheckLexical(Checker& c, std::string_view args, bool parentheses) {
  bool quoted = false;
  size_t quote_at = 0;
  size_t read_to = 0;  // the end of the last operand that read
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == '"') {
      quoted = !quoted;
      quote_at = i;
    } else if (!quoted && parentheses && i >= read_to && args[i] == '(' && (i == 0 || IsBlank(args[i - 1]))) {
      std::string_view t = args.substr(i);
      Operand op;
      if (DecodeOperand(c.in, &t, &op)) {
        read_to = static_cast<size_t>(t.data() - args.data());
      } else {
        c.Add(args.substr(i), OperandFault(args.substr(i)));
        parentheses = false;
      }
    }
  }
  if (quoted && !c.line_alone) c.Add(args.substr(quote_at), std::string(kMsgQuoteNotClosed));
}

// The $names of the line, counted across the script.
void CountNames(Checker& c, std::string_view args) {
  if (c.line_alone) return;
  bool quoted = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == '"') quoted = !quoted;
    if (quoted || args[i] != '$') continue;
    size_t n = NameLength(args.substr(i + 1));
    if (n == 0) continue;
    std::string name = UpperCaseText(args.substr(i + 1, n));
    if (c.names.emplace(name, c.line).second && c.names.size() == static_cast<size_t>(kMaxNamedVariables) + 1)
      c.Add(args.substr(i),
            Filled(kMsgTooManyNames, {Latin1ToUtf8(args.substr(i + 1, n)), std::to_string(kMaxNamedVariables)}));
  }
}

bool RefusedWithinLine(std::string_view upper) {
  NestedCommand nested;
  SplitNestedLine(upper, &nested);
  return nested.refused;
}

void CheckCommand(Checker& c, std::string_view word, std::string_view args, bool within_line) {
  std::string upper = UpperCaseText(word);
  int entry = FindCommand(upper);
  if (entry < 0 || kCommandTable[entry].handler == nullptr) {
    if (!c.line_alone) c.Add(word, std::string(kMsgInvalidCommand) + Latin1ToUtf8(word));
    return;
  }
  if (within_line && RefusedWithinLine(upper)) {
    CountNames(c, args);
    c.Add(word, std::string(kMsgBlockWithinLine) + Latin1ToUtf8(word));
    return;
  }
  bool has_rule = true;
  std::string_view own = args;  // the text this command reads itself
  if (upper == "SE") {
    own = CheckSe(c, args, within_line);
  } else if (upper == "ENQUANTO") {
    std::string_view rest;
    if (CheckCondition(c, args, &rest)) OpenBlockAt(c, BlockKind::kEnquanto);
  } else if (upper == "REPETE") {
    if (ReadSignature(c, args, OperandsOf(upper))) OpenBlockAt(c, BlockKind::kRepete);
  } else if (upper == "FIM") {
    CheckFim(c, args, word);
  } else if (upper == "SENAO" || upper == "SEN\xC3O") {
    CheckSenao(c, args, word);
  } else if (upper == "DESVIA" || upper == "CHAMA") {
    CheckTarget(c, args, word);
  } else if (upper == "SEJA") {
    CheckSeja(c, args);
  } else {
    std::string_view operands = OperandsOf(upper);
    has_rule = !operands.empty();
    if (has_rule) ReadSignature(c, args, operands);
  }
  CountNames(c, own);
  CheckLexical(c, own, !has_rule);
}

// A label line: found by its name unless another line of that name came
// first; a label is one only at the very start of its line.
void CheckNonCommand(Checker& c) {
  std::string_view trimmed = TrimBlanks(c.text);
  if (!c.text.empty() && c.text[0] == '@') {
    auto it = Scans(c.in).labels.find(UpperCaseText(c.text.substr(1)));
    if (it != Scans(c.in).labels.end() && it->second != c.line)
      c.Add(c.text, Filled(kMsgRepeatedLabel, {Latin1ToUtf8(c.text), std::to_string(it->second)}));
  } else if (!trimmed.empty() && trimmed[0] == '@') {
    c.Add(trimmed, std::string(kMsgLabelAfterBlanks));
  }
}

void CheckLine(Checker& c, int n) {
  c.line = n;
  c.text = c.in.lines[static_cast<size_t>(n)];
  const LineInfo& info = c.in.index.lines[static_cast<size_t>(n)];
  if (!info.command) {
    CheckNonCommand(c);
    return;
  }
  std::string_view trimmed = TrimBlanks(c.text);
  std::string_view args = c.text.substr(info.args_begin, info.args_size);
  CheckCommand(c, trimmed.substr(0, trimmed.find(' ')), args, false);
}

}  // namespace

std::vector<CheckFinding> CheckScript(const std::vector<std::string>& lines) {
  InterpreterState in;
  Checker c(in, false);
  int count = 0;
  for (const std::string& line : lines)
    if (!StoreLine(in, line, ++count)) break;
  for (int n = 1; n <= c.in.line_count; ++n) CheckLine(c, n);
  for (const OpenBlock& b : c.open) {
    c.line = b.line;
    c.text = c.in.lines[static_cast<size_t>(b.line)];
    c.Add(TrimFrontBlanks(c.text), Filled(kMsgBlockNotClosed, {BlockWord(b.kind)}));
  }
  std::stable_sort(c.found.begin(), c.found.end(),
                   [](const CheckFinding& a, const CheckFinding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
  return std::move(c.found);
}

std::string LineFault(InterpreterState& in, int n) {
  if (n < 1 || n > in.line_count) return {};
  Checker c(in, true);
  CheckLine(c, n);
  return c.found.empty() ? std::string() : c.found.front().message;
}

}  // namespace kal
