// Decoding lines: each decoder reads its command's argument text with the
// operand readers' rules, without reading any value. On a text it refuses,
// it returns false with the line left in a form that fails where reading
// the text fails: a variable not read is left unnamed (resolving it fails
// and says nothing), an operand not read is left failed (operands.h).
#include <string>

#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWord(std::string_view args, std::string_view upper_word) {
  return args.size() == upper_word.size() && StartsWithKeyword(args, upper_word);
}

// All digits, one to nineteen of them: the number they make, which is how
// the comparison form orders such a text.
bool DigitsOnly(std::string_view t, uint64_t* value) {
  if (t.empty() || t.size() > 19) return false;
  uint64_t v = 0;
  for (char c : t) {
    if (!IsDigit(c)) return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = v;
  return true;
}

// A quoted string: a doubled quote mark inside stands for one; a string
// with no closing quote mark takes the rest of the text.
void ReadQuoted(std::string_view* args, std::string* value) {
  std::string_view t = *args;
  for (;;) {
    t.remove_prefix(1);  // the opening (or doubled) quote mark
    size_t q = t.find('"');
    if (q == std::string_view::npos) {
      value->append(t);
      t = {};
      break;
    }
    value->append(t.substr(0, q));
    t.remove_prefix(q + 1);
    if (t.empty() || t[0] != '"') break;
    value->push_back('"');
  }
  *args = t;
}

// What reading the operand read before it failed: an expression that
// looks up the names met so far and then fails (steps kept), or nothing.
bool Failed(Operand* op, bool keep_steps) {
  op->kind = Operand::Kind::kExpression;
  if (!keep_steps) op->expr = ExprCode();
  if (op->expr.steps.empty() || op->expr.steps.back().code != ExprStep::Code::kFail)
    op->expr.steps.push_back({ExprStep::Code::kFail, 0, 0});
  return false;
}

}  // namespace

bool ReadOperandSyntax(std::string_view* args, Operand* op) {
  std::string_view t = TrimFrontBlanks(*args);
  if (t.empty()) return Failed(op, false);
  char c = t[0];
  op->kind = Operand::Kind::kText;
  if (c == '-' || IsDigit(c)) {
    size_t n = 1;
    while (n < t.size() && IsDigit(t[n])) ++n;
    op->text.assign(t.substr(0, n));
    t.remove_prefix(n);
  } else if (c == '"') {
    op->text.clear();
    ReadQuoted(&t, &op->text);
  } else if (c == '$') {
    size_t n = NameLength(t.substr(1));
    if (n == 0) return Failed(op, false);
    op->kind = Operand::Kind::kVariable;
    op->var.slot = 0;
    op->var.name.assign(t.substr(1, n));
    t.remove_prefix(1 + n);
  } else if (int slot = LetterSlot(static_cast<unsigned char>(c))) {
    op->kind = Operand::Kind::kVariable;
    op->var.slot = slot;
    op->var.name.clear();
    t.remove_prefix(1);
  } else if (c == '(') {
    // The names an expression met before it failed are looked up all the
    // same, as evaluating it from the text looks them up.
    t.remove_prefix(1);
    if (!CompileExpression(&t, &op->expr)) return Failed(op, true);
    t = TrimFrontBlanks(t);
    if (t.empty() || t[0] != ')') return Failed(op, true);
    op->kind = Operand::Kind::kExpression;
    t.remove_prefix(1);
  } else {
    return Failed(op, false);
  }
  *args = TrimBlanks(t);
  return true;
}

bool DecodeOperand(InterpreterState&, std::string_view* args, Operand* op) {
  if (!ReadOperandSyntax(args, op)) return false;
  if (op->kind == Operand::Kind::kText) {
    // A literal's value under the numeric rule, found once.
    Value literal{};
    literal.text = op->text;
    op->numeric = NumberOfValue(literal, false, &op->number);
    op->numeric_trimmed = NumberOfValue(literal, true, &op->number_trimmed);
    op->digits = DigitsOnly(op->text, &op->digits_value);
  }
  return true;
}

bool DecodeVarRef(std::string_view* args, VarRef* ref) {
  std::string_view t = TrimFrontBlanks(*args);
  if (t.empty()) return false;
  if (t[0] == '$') {
    size_t n = NameLength(t.substr(1));
    if (n == 0) return false;
    ref->name.assign(t.substr(1, n));
    *args = TrimBlanks(t.substr(1 + n));
    return true;
  }
  int letter = LetterSlot(static_cast<unsigned char>(t[0]));
  if (letter == 0) return false;
  if (t.size() > 1) {
    unsigned char next = static_cast<unsigned char>(t[1]);
    if (LetterSlot(next) || IsDigit(static_cast<char>(next))) return false;
  }
  ref->slot = letter;
  *args = TrimBlanks(t.substr(1));
  return true;
}

// "var operand" (SOMA, SUBTRAI, MULTIPLICA, DIVIDE): something must follow
// the variable (an empty operand fails when read; stops_after_var fails the
// line before the variable's value is looked at).
bool DecodeVarAndOperand(InterpreterState& in, std::string_view args, LineCode* code) {
  code->operands.resize(1);
  if (!DecodeVarRef(&args, &code->var)) return false;
  code->stops_after_var = args.empty();
  if (!DecodeOperand(in, &args, &code->operands[0])) return false;
  code->text_after = !args.empty();
  return true;
}

// SEJA var [=] operand, or a built-in value read from its text each time.
bool DecodeSeja(InterpreterState& in, std::string_view args, LineCode* code) {
  code->operands.resize(1);
  if (!DecodeVarRef(&args, &code->var)) return false;
  if (!args.empty() && args[0] == '=') args = TrimBlanks(args.substr(1));
  if (!args.empty() && NamesBuiltInValue(args)) {
    code->kind = LineKind::kSejaBuiltIn;
    code->command.assign(args);
    return true;
  }
  if (!DecodeOperand(in, &args, &code->operands[0])) return false;
  code->text_after = !args.empty();
  return !code->text_after;
}

bool DecodeConcatena(InterpreterState& in, std::string_view args, LineCode* code) {
  code->operands.resize(1);
  if (!DecodeVarRef(&args, &code->var) || !DecodeOperand(in, &args, &code->operands[0])) return false;
  code->text_after = !args.empty();
  return !code->text_after;
}

bool DecodeCopia(InterpreterState& in, std::string_view args, LineCode* code) {
  code->operands.resize(2);
  return DecodeVarRef(&args, &code->var) && DecodeVarRef(&args, &code->var2) &&
         DecodeOperand(in, &args, &code->operands[0]) && DecodeOperand(in, &args, &code->operands[1]);
}

bool DecodeConditionShape(InterpreterState& in, std::string_view args, Condition* c, std::string_view* rest,
                          ShapeStop* stop) {
  ShapeStop local;
  ShapeStop& at = stop ? *stop : local;
  std::string_view t = TrimBlanks(args);
  at = {ShapeNeed::kOperand, t};
  if (t.empty()) return false;
  if ((t[0] == 'N' || t[0] == 'n') && (StartsWithKeyword(t, "NAO") || StartsWithKeyword(t, "N\xC3O"))) {
    c->negate = true;
    t = TrimBlanks(t.substr(3));
    at.at = t;
    if (t.empty()) return false;
  }
  if (!DecodeOperand(in, &t, &c->left)) return false;
  at = {ShapeNeed::kOperator, t};
  if (t.empty() || !ReadCompareOperator(&t, &c->op)) return false;
  t = TrimBlanks(t);
  at = {c->op == CompareOp::kIn ? ShapeNeed::kList : ShapeNeed::kOperand, t};
  if (t.empty()) return false;
  if (c->op == CompareOp::kIn) {
    if (!ReadListName(&t, &c->list)) return false;
  } else if (!DecodeOperand(in, &t, &c->right)) {
    return false;
  }
  *rest = TrimBlanks(t);
  return true;
}

bool DecodeFimHead(InterpreterState& in, int n, std::string_view args, LineCode* code) {
  if (args.empty()) return false;
  const ScanTables& t = Scans(in);
  size_t at = t.At(n);
  if (IsWord(args, "ENQUANTO")) {
    code->head = t.prev_enquanto[at];
    code->kind = LineKind::kFimEnquanto;
    return code->head != 0;
  }
  if (IsWord(args, "REPETE")) {
    code->head = t.prev_repete[at];
    code->kind = LineKind::kFimRepete;
    return code->head != 0;
  }
  code->kind = LineKind::kFimOther;
  return true;
}

bool DecodeChannelWrite(InterpreterState& in, std::string_view args, bool no_line_end, LineCode* code) {
  code->kind = LineKind::kEscreveChannel;
  code->no_line_end = no_line_end;
  if (!ReadChannelDigit(&args, &code->channel)) return false;
  if (args.empty()) {
    code->no_line_end = false;  // an empty line always ends
    return true;
  }
  // The operands joined as JoinOperands reads them: up to the first text
  // that is not one, which is read too (the names it met are looked up)
  // and makes the line fail once the text is written.
  while (!args.empty()) {
    Operand op;
    bool read = DecodeOperand(in, &args, &op);
    code->operands.push_back(std::move(op));
    if (!read) {
      code->text_after = true;
      break;
    }
  }
  return true;
}

namespace {

// The command of a one-line SE is decoded in DecodeLineAt.
bool DecodeSe(InterpreterState& in, std::string_view args, LineCode* code) {
  std::string_view rest;
  if (!DecodeConditionShape(in, args, &code->condition, &rest)) return false;
  code->command.assign(rest);
  return true;
}

// REPETE var count: an empty count fails when read, after the variable.
bool DecodeRepete(InterpreterState& in, std::string_view args, LineCode* code) {
  code->operands.resize(1);
  return DecodeVarRef(&args, &code->var) && DecodeOperand(in, &args, &code->operands[0]);
}

// FIM: a FIM REPETE takes the step from the head line's upper-cased rest.
bool DecodeFim(InterpreterState& in, int n, std::string_view args, LineCode* code) {
  if (!DecodeFimHead(in, n, args, code)) {
    code->kind = LineKind::kFails;
    return false;
  }
  if (code->kind != LineKind::kFimRepete) return true;
  return DecodeRepete(in, Scans(in).repete_rest[static_cast<size_t>(code->head)], code);
}

// DESVIA @label; a target read from an operand goes through the handler.
bool DecodeDesvia(InterpreterState&, std::string_view args, LineCode* code) {
  std::string_view name;
  if (!ReadWrittenLabel(args, &name)) return false;
  code->label = UpperCaseText(name);
  return true;
}

// ESCREVE #d operands [&].
bool DecodeEscreve(InterpreterState& in, std::string_view args, LineCode* code) {
  bool no_line_end = TakeTrailingAmpersand(&args);
  return DecodeChannelWrite(in, args, no_line_end, code);
}

struct Decoder {
  std::string_view word;
  LineKind kind;
  bool (*decode)(InterpreterState& in, std::string_view args, LineCode* code);
};

constexpr Decoder kDecoders[] = {
    {"SEJA", LineKind::kSeja, DecodeSeja},
    {"SOMA", LineKind::kSoma, DecodeVarAndOperand},
    {"SUBTRAI", LineKind::kSubtrai, DecodeVarAndOperand},
    {"MULTIPLICA", LineKind::kMultiplica, DecodeVarAndOperand},
    {"DIVIDE", LineKind::kDivide, DecodeVarAndOperand},
    {"CONCATENA", LineKind::kConcatena, DecodeConcatena},
    {"COPIA", LineKind::kCopia, DecodeCopia},
    {"SE", LineKind::kSe, DecodeSe},
    {"ENQUANTO", LineKind::kEnquanto, [](InterpreterState& in, std::string_view args, LineCode* code) {
       std::string_view rest;
       return DecodeConditionShape(in, args, &code->condition, &rest);
     }},
    {"REPETE", LineKind::kRepete, DecodeRepete},
    {"DESVIA", LineKind::kDesvia, DecodeDesvia},
    {"ESCREVE", LineKind::kEscreveChannel, DecodeEscreve},
};

void DecodeLineAt(InterpreterState& in, int n, std::string_view upper_word, std::string_view args, LineCode* code, bool within_line);

// Whether a decoded line is quiet (LineCode::quiet). Only its failures say
// anything (a full name table, a value too long, a division by zero); a
// block SE is not, since passing over a false block evaluates the
// conditions of the SE heads within, which may name variables; a one-line
// SE is when its command is nothing or a quiet decoded line.
bool IsQuiet(const LineCode& code) {
  switch (code.kind) {
    case LineKind::kSe: {
      const NestedCommand& c = code.nested;
      if (code.command.empty()) return false;
      return c.nothing || (c.code && c.code->quiet);
    }
    case LineKind::kEscreveChannel:
    case LineKind::kSejaBuiltIn:
    case LineKind::kUndecoded:
    case LineKind::kByHandler:
    case LineKind::kFails:
      return false;
    default:
      return true;
  }
}

// Splits the command of a one-line SE as ExecuteLine does and decodes it;
// lines within lines (SE a = 1 SE b = 2 ...) are decoded one level deep,
// deeper ones run from their text.
void DecodeNested(InterpreterState& in, std::string_view text, NestedCommand* c, bool within_line) {
  SplitNestedLine(text, c);
  if (c->nothing || c->refused || within_line) return;
  c->code = std::make_unique<LineCode>();
  DecodeLineAt(in, 0, c->word, c->args, c->code.get(), true);
  if (c->code->kind == LineKind::kByHandler) c->code.reset();
}

// Decodes the text of a command with a decoder into *code; false when the
// text is refused (*code then fails as reading the text does) or the
// command has no decoder (*code is kByHandler).
bool DecodeText(InterpreterState& in, int n, std::string_view upper_word, std::string_view args, LineCode* code) {
  *code = LineCode();
  code->kind = LineKind::kByHandler;
  if (upper_word == "FIM") return DecodeFim(in, n, args, code);
  for (const Decoder& d : kDecoders) {
    if (upper_word != d.word) continue;
    code->kind = d.kind;
    return d.decode(in, args, code);
  }
  return false;
}

void DecodeLineAt(InterpreterState& in, int n, std::string_view upper_word, std::string_view args, LineCode* code, bool within_line) {
  bool decoded = DecodeText(in, n, upper_word, args, code);
  if (!decoded) {
    *code = LineCode();
    code->kind = LineKind::kByHandler;
    return;
  }
  if (code->kind == LineKind::kSe && !code->command.empty()) DecodeNested(in, code->command, &code->nested, within_line);
  code->quiet = IsQuiet(*code);
}

}  // namespace

void DecodeLine(InterpreterState& in, int n, std::string_view upper_word, std::string_view args, LineCode* code) {
  DecodeLineAt(in, n, upper_word, args, code, false);
}

bool RunLineFromText(InterpreterState& in, std::string_view upper_word, std::string_view args) {
  LineCode code;
  DecodeText(in, in.current_line, upper_word, args, &code);
  return RunLineCode(in, code);
}

bool DecodedCommandsAllowed(const std::vector<bool>& allowed) {
  if (allowed.empty()) return true;
  auto ok = [&allowed](std::string_view word) {
    int entry = FindCommand(word);
    return entry >= 0 && static_cast<size_t>(entry) < allowed.size() && allowed[static_cast<size_t>(entry)];
  };
  if (!ok("FIM")) return false;
  for (const Decoder& d : kDecoders)
    if (!ok(d.word)) return false;
  return true;
}

}  // namespace kal
