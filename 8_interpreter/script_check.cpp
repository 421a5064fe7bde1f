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
#include "0_base/visible_text.h"
#include "5_speech/speech.h"
#include "8_interpreter/check_operands.h"
#include "8_interpreter/check_state.h"
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

const char* BlockWord(BlockKind kind) {
  return kind == BlockKind::kSe ? "SE" : kind == BlockKind::kEnquanto ? "ENQUANTO" : "REPETE";
}

// A loop head of that kind above the current line: where its FIM goes back.
bool LoopHeadAbove(Checker& c, BlockKind kind) {
  const ScanTables& t = Scans(c.in);
  size_t n = static_cast<size_t>(c.line);
  return kind == BlockKind::kEnquanto ? t.prev_enquanto[n] != 0 : t.prev_repete[n] != 0;
}

}  // namespace

void AddOperandFault(Checker& c, std::string_view at) {
  at = TrimFrontBlanks(at);
  CheckCode code = CheckCode::kBadOperand;
  size_t length = Checker::kWord;
  if (at.empty()) {
    code = CheckCode::kMissingOperand;
  } else if (at[0] == '(') {
    size_t close = ClosingParenthesis(at);
    code = close == std::string_view::npos ? CheckCode::kParenNotClosed : CheckCode::kBadExpression;
    length = close == std::string_view::npos ? at.size() : close + 1;
  }
  c.Add(code, at, OperandFault(at), length);
}

namespace {

// Where a division by zero is written in text: '/', blanks, zeros and no
// other digit; the whole text when it is not found.
std::string_view DivisionByZeroAt(std::string_view text) {
  for (size_t i = text.find('/'); i != std::string_view::npos; i = text.find('/', i + 1)) {
    size_t j = i + 1;
    while (j < text.size() && text[j] == ' ') ++j;
    size_t zeros = j;
    while (j < text.size() && text[j] == '0') ++j;
    if (j > zeros && (j == text.size() || text[j] < '0' || text[j] > '9')) return text.substr(i, j - i);
  }
  return text;
}

}  // namespace

// An expression that divides by a written zero fails whatever the
// variables hold.
void CheckDecodedOperand(Checker& c, const Operand& op, std::string_view at) {
  if (op.kind != Operand::Kind::kExpression) return;
  const std::vector<ExprStep>& steps = op.expr.steps;
  for (size_t i = 1; i < steps.size(); ++i) {
    if (steps[i].code == ExprStep::Code::kDiv && steps[i - 1].code == ExprStep::Code::kNumber &&
        steps[i - 1].number == 0) {
      std::string_view where = DivisionByZeroAt(at);
      c.Add(CheckCode::kDivisionByZero, where, std::string(kMsgDivisionByZero), where.size());
      return;
    }
  }
}

namespace {

// The operands a command's handler reads (its entry in the command table).
std::string_view OperandsOf(std::string_view upper_word) {
  int entry = FindCommand(upper_word);
  return entry < 0 ? std::string_view() : kCommandTable[entry].operands;
}

void CheckCommand(Checker& c, std::string_view word, std::string_view args, bool within_line);

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
    c.Add(CheckCode::kLoopInSameLoop, TrimFrontBlanks(c.text), Filled(kMsgBlockInSameBlock, {BlockWord(kind), std::to_string(c.open[static_cast<size_t>(same)].line)}));
  if (kind == BlockKind::kSe && block.senao_below >= 0)
    c.Add(CheckCode::kSeAfterSenao, TrimFrontBlanks(c.text),
          Filled(kMsgSeAfterSenao, {std::to_string(c.open[static_cast<size_t>(block.senao_below)].senao_line)}));
  if (!c.open.empty()) std::copy(std::begin(c.open.back().nearest), std::end(c.open.back().nearest), block.nearest);
  block.nearest[Kind(kind)] = static_cast<int>(c.open.size());
  c.open.push_back(block);
}

void CloseBlock(Checker& c, BlockKind kind, std::string_view at) {
  if (c.line_alone) {
    if (kind != BlockKind::kSe && !LoopHeadAbove(c, kind)) c.Add(CheckCode::kFimWithoutHead, at, Filled(kMsgFimWithoutBlock, {BlockWord(kind)}));
    return;
  }
  int i = Nearest(c, kind);
  if (i < 0) {
    // FIM SE alone does nothing; a loop's FIM goes back to the nearest head
    // above it, and fails only when there is none.
    CheckCode code = kind == BlockKind::kSe ? CheckCode::kFimSeWithoutSe
                     : LoopHeadAbove(c, kind) ? CheckCode::kFimOfClosedLoop
                                              : CheckCode::kFimWithoutHead;
    c.Add(code, at, Filled(kMsgFimWithoutBlock, {BlockWord(kind)}));
    return;
  }
  if (static_cast<size_t>(i) + 1 != c.open.size()) {
    const OpenBlock& inner = c.open.back();
    c.Add(CheckCode::kFimBeforeInner, at, Filled(kMsgFimBeforeInner, {BlockWord(kind), BlockWord(inner.kind), std::to_string(inner.line)}));
  }
  c.open.resize(static_cast<size_t>(i));
}

bool IsWord(std::string_view args, std::string_view upper_word) {
  return args.size() == upper_word.size() && StartsWithKeyword(args, upper_word);
}

void CheckFim(Checker& c, std::string_view args, std::string_view word) {
  if (args.empty()) {
    c.Add(CheckCode::kFimWithoutName, word, std::string(kMsgFimWithoutName));
  } else if (IsWord(args, "SE")) {
    CloseBlock(c, BlockKind::kSe, word);
  } else if (IsWord(args, "ENQUANTO")) {
    CloseBlock(c, BlockKind::kEnquanto, word);
  } else if (IsWord(args, "REPETE")) {
    CloseBlock(c, BlockKind::kRepete, word);
  } else if (!c.line_alone) {
    c.Add(CheckCode::kUnknownBlock, args, std::string(kMsgUnknownBlock) + Latin1ToUtf8(args), args.size());
  }
}

void CheckSenao(Checker& c, std::string_view args, std::string_view word) {
  if (!args.empty()) c.Add(CheckCode::kTextLeft, args, std::string(kMsgTextLeft) + Latin1ToUtf8(args), args.size());
  if (c.line_alone) return;
  if (!c.open.empty() && c.open.back().kind == BlockKind::kSe && c.open.back().senao_line == 0) {
    c.open.back().senao_line = c.line;
  } else if (!c.open.empty() && c.open.back().kind == BlockKind::kSe) {
    c.Add(CheckCode::kSecondSenao, word, Filled(kMsgSecondSenao, {std::to_string(c.open.back().line)}));
  } else {
    c.Add(CheckCode::kSenaoOutsideSe, word, std::string(kMsgSenaoOutsideSe));
  }
}

// The condition of SE and ENQUANTO; *rest is what follows it.
bool CheckCondition(Checker& c, std::string_view args, std::string_view* rest) {
  Condition cond;
  ShapeStop stop;
  if (DecodeConditionShape(c.in, args, &cond, rest, &stop)) {
    std::string_view at = TrimFrontBlanks(args);
    CheckDecodedOperand(c, cond.left, at);
    CheckDecodedOperand(c, cond.right, at);
    NoteRead(c, cond.left, FirstWord(at));
    NoteRead(c, cond.right, FirstWord(at));
    return true;
  }
  std::string_view at = TrimFrontBlanks(stop.at);
  switch (stop.need) {
    case ShapeNeed::kOperator:
      c.Add(CheckCode::kExpectedOperator, at,
            at.empty() ? std::string(kMsgNoOperator) : std::string(kMsgExpectedOperator) + Latin1ToUtf8(FirstWord(at)));
      break;
    case ShapeNeed::kList:
      c.Add(CheckCode::kExpectedList, at, std::string(kMsgExpectedList) + Latin1ToUtf8(FirstWord(at)));
      break;
    default: AddOperandFault(c, at); break;
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
    if (!c.line_alone) c.Add(CheckCode::kNestedTooDeep, line, std::string(kMsgNestedTooDeep));  // a run says it itself
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
    c.Add(CheckCode::kMissingLabel, word, std::string(kMsgNoLabel));
  } else if (args[0] != '@') {
    c.computed_target = true;
    CheckShape(c, args, "o.");
  } else if (args.find(' ') != std::string_view::npos) {
    c.Add(CheckCode::kLabelWithSpace, args, std::string(kMsgLabelWithSpace) + Latin1ToUtf8(args.substr(1)), args.size());
  } else if (Scans(c.in).labels.count(UpperCaseText(args.substr(1))) == 0) {
    c.Add(CheckCode::kLabelNotFound, args, std::string(kMsgLabelNotFound) + Latin1ToUtf8(args.substr(1)), args.size());
  }
}

// SEJA var [=] value: a built-in value (read by its own words) or one operand.
void CheckSeja(Checker& c, std::string_view args) {
  VarRef ref;
  if (!CheckShape(c, args, "v")) return;
  DecodeVarRef(&args, &ref);
  if (!args.empty() && args[0] == '=') args = TrimBlanks(args.substr(1));
  if (args.empty()) {
    c.Add(CheckCode::kMissingOperand, args, std::string(kMsgNoOperand));
    return;
  }
  if (!NamesBuiltInValue(args)) CheckShape(c, args, "o.");
}

// An unclosed quote mark anywhere in the argument text (a list name in
// brackets may hold one); a parenthesis that
// opens an operand (at the start of the text or after a blank) and is not
// closed, or whose expression does not read: the first such one, as a run
// stops there (parentheses within an operand that reads are not read
// again, so that each byte is read a bounded number of times).
void CheckLexical(Checker& c, std::string_view args, bool parentheses) {
  bool quoted = false;
  size_t quote_at = 0;
  size_t read_to = 0;  // the end of the last operand that read
  for (size_t i = 0; i < args.size(); ++i) {
    if (!quoted && args[i] == '[' && (i == 0 || IsBlank(args[i - 1]))) {
      // A list's name, which may hold a quote mark: up to its ']'.
      size_t close = args.find(']', i + 2);
      if (close != std::string_view::npos) i = close;
    } else if (args[i] == '"') {
      quoted = !quoted;
      quote_at = i;
    } else if (!quoted && parentheses && i >= read_to && args[i] == '(' && (i == 0 || IsBlank(args[i - 1]))) {
      std::string_view t = args.substr(i);
      Operand op;
      if (DecodeOperand(c.in, &t, &op)) {
        read_to = static_cast<size_t>(t.data() - args.data());
      } else {
        AddOperandFault(c, args.substr(i));
        parentheses = false;
      }
    }
  }
  if (quoted && !c.line_alone)
    c.Add(CheckCode::kQuoteNotClosed, args.substr(quote_at), std::string(kMsgQuoteNotClosed), args.size() - quote_at);
}

// The $names of the line, counted across the script.
void CountNames(Checker& c, std::string_view args) {
  if (c.line_alone) return;
  ForEachDollarName(args, [&](std::string_view mention) {
    std::string_view name = mention.substr(1);
    if (c.names.emplace(UpperCaseText(name), c.line).second &&
        c.names.size() == static_cast<size_t>(kMaxNamedVariables) + 1)
      c.Add(CheckCode::kTooManyNames, args.substr(static_cast<size_t>(mention.data() - args.data())),
            Filled(kMsgTooManyNames, {Latin1ToUtf8(name), std::to_string(kMaxNamedVariables)}));
  });
}

bool RefusedWithinLine(std::string_view upper) {
  NestedCommand nested;
  SplitNestedLine(upper, &nested);
  return nested.refused;
}

// The shape a line is read by, in the check and for a failing line's
// reason alike: a failing line whose handler recorded no reason is told
// what the whole shape shows wrong.
std::string ShapeFor(const Checker&, std::string_view upper) { return std::string(OperandsOf(upper)); }

void CheckCommand(Checker& c, std::string_view word, std::string_view args, bool within_line) {
  std::string upper = UpperCaseText(word);
  int entry = FindCommand(upper);
  if (entry < 0 || kCommandTable[entry].handler == nullptr) {
    if (!c.line_alone) c.Add(CheckCode::kUnknownCommand, word, std::string(kMsgInvalidCommand) + Latin1ToUtf8(word));
    return;
  }
  if (within_line && RefusedWithinLine(upper)) {
    CountNames(c, args);
    c.Add(CheckCode::kBlockWithinLine, word, std::string(kMsgBlockWithinLine) + Latin1ToUtf8(word));
    return;
  }
  if (upper == "CMD") {
    c.sets_unknown = true;  // the line it runs may set any variable
    if (args.empty() || args[0] != '"') c.computed_target = true;
  }
  bool has_rule = true;
  std::string_view own = args;  // the text this command reads itself
  if (upper == "SE") {
    own = CheckSe(c, args, within_line);
  } else if (upper == "ENQUANTO") {
    std::string_view rest;
    if (CheckCondition(c, args, &rest)) OpenBlockAt(c, BlockKind::kEnquanto);
  } else if (upper == "REPETE") {
    if (CheckShape(c, args, ShapeFor(c, upper))) OpenBlockAt(c, BlockKind::kRepete);
  } else if (upper == "FIM") {
    CheckFim(c, args, word);
  } else if (upper == "SENAO" || upper == "SEN\xC3O") {
    CheckSenao(c, args, word);
  } else if (upper == "DESVIA" || upper == "CHAMA") {
    CheckTarget(c, args, word);
  } else if (upper == "SEJA") {
    CheckSeja(c, args);
  } else {
    std::string shape = ShapeFor(c, upper);
    has_rule = !shape.empty();
    if (has_rule) CheckShape(c, args, shape);
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
      c.Add(CheckCode::kRepeatedLabel, c.text, Filled(kMsgRepeatedLabel, {Latin1ToUtf8(c.text), std::to_string(it->second)}));
  } else if (!trimmed.empty() && trimmed[0] == '@') {
    c.Add(CheckCode::kLabelAfterBlanks, trimmed, std::string(kMsgLabelAfterBlanks));
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

void Checker::Add(CheckCode code, std::string_view at, std::string message, size_t length) {
  const CheckCodeInfo& info = InfoOf(code);
  if (line_alone && info.severity == Severity::kWarning) return;
  size_t offset = text.size();
  if (at.data() >= text.data() && at.data() <= text.data() + text.size())
    offset = static_cast<size_t>(at.data() - text.data());
  if (length == kWord) length = FirstWord(at).size();
  length = std::min(length, text.size() - offset);
  int column = static_cast<int>(offset) + 1;
  std::string key = std::to_string(line) + ':' + std::to_string(column) + ':' + message;
  if (!said.insert(std::move(key)).second) return;
  // A missing operand at the line's end covers the place after it.
  found.push_back({line, column, column + static_cast<int>(std::max<size_t>(length, 1)), info.severity,
                   std::string(info.id),
                   std::move(message)});
}

std::string_view FirstWord(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(0, end);
}

size_t CountErrors(const std::vector<CheckFinding>& found) {
  return static_cast<size_t>(std::count_if(found.begin(), found.end(),
                                           [](const CheckFinding& f) { return f.severity == Severity::kError; }));
}

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
    c.Add(CheckCode::kBlockNotClosed, TrimFrontBlanks(c.text), Filled(kMsgBlockNotClosed, {BlockWord(b.kind)}));
  }
  CheckFlow(c);
  std::stable_sort(c.found.begin(), c.found.end(),
                   [](const CheckFinding& a, const CheckFinding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
  return std::move(c.found);
}

void LineFault(InterpreterState& in, int n, std::string* message, std::string* code) {
  if (n < 1 || n > in.line_count) return;
  Checker c(in, true);
  CheckLine(c, n);
  if (c.found.empty()) return;
  // Said and written by the run: what came from the line shows its control
  // characters, as a reason recorded by a handler does.
  *message = VisibleText(c.found.front().message);
  *code = c.found.front().code;
}

std::string LineFault(InterpreterState& in, int n) {
  std::string message, code;
  LineFault(in, n, &message, &code);
  return message;
}

}  // namespace kal
