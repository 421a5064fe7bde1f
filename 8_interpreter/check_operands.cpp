// The script check's reading of operands by a command's declared shape
// (check_operands.h tells the letters). Operands are read with the
// decoders' readers (DecodeOperand, DecodeVarRef), which read the text
// alone, so the check and a run agree on where each operand ends; a
// literal is then held to what the command needs of it (a number, a range,
// not zero), which a variable's value cannot be before the run.
#include "8_interpreter/check_operands.h"

#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/check_state.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"

namespace kal {

namespace {

struct ShapeRun {
  Checker& c;
  std::string_view args;  // what is left of the argument text, trimmed at the front
};

bool Run(ShapeRun& r, std::string_view shape);

bool IsLetter(char ch) { return (ch | 0x20) >= 'a' && (ch | 0x20) <= 'z'; }

bool IsKeywordByte(char ch) {
  unsigned char u = static_cast<unsigned char>(ch);
  return (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE);
}

// The shape's bounds on a number after 'n': "(LO:HI)" or "(/)"; *shape
// moves past them.
struct NumberRule {
  bool bounded = false, not_zero = false;
  int64_t lo = 0, hi = 0;
};
NumberRule TakeNumberRule(std::string_view* shape) {
  NumberRule rule;
  if (shape->empty() || (*shape)[0] != '(') return rule;
  size_t close = shape->find(')');
  std::string_view inside = shape->substr(1, close - 1);
  *shape = shape->substr(close + 1);
  if (inside == "/") {
    rule.not_zero = true;
    return rule;
  }
  size_t colon = inside.find(':');
  rule.bounded = true;
  rule.lo = std::stoll(std::string(inside.substr(0, colon)));
  rule.hi = std::stoll(std::string(inside.substr(colon + 1)));
  return rule;
}

// One operand; `number`: 0 any value, 'n' or 'u' a number by that rule.
bool ReadOperandKind(ShapeRun& r, char number, const NumberRule& rule) {
  std::string_view before = r.args;
  Operand op;
  if (!DecodeOperand(r.c.in, &r.args, &op)) {
    AddOperandFault(r.c, before);
    return false;
  }
  r.args = TrimFrontBlanks(r.args);
  size_t length = TrimBlanks(before.substr(0, before.size() - r.args.size())).size();
  NoteRead(r.c, op, before.substr(0, length));
  CheckDecodedOperand(r.c, op, before);
  if (number == 0 || op.kind != Operand::Kind::kText) return true;
  bool numeric = number == 'n' ? op.numeric : op.numeric_trimmed;
  int64_t value = number == 'n' ? op.number : op.number_trimmed;
  if (!numeric) {
    r.c.Add(CheckCode::kExpectedNumber, before, std::string(kMsgExpectedNumber) + Latin1ToUtf8(op.text), length);
    return false;
  }
  if (rule.not_zero && value == 0) {
    r.c.Add(CheckCode::kDivisionByZero, before, std::string(kMsgDivisionByZero), length);
    return false;
  }
  if (rule.bounded && (value < rule.lo || value > rule.hi)) {
    r.c.Add(CheckCode::kOutOfRange, before,
            Filled(kMsgOutOfRange, {Latin1ToUtf8(op.text), std::to_string(rule.lo), std::to_string(rule.hi)}), length);
    return false;
  }
  return true;
}

bool ReadVariableKind(ShapeRun& r) {
  std::string_view before = r.args;
  VarRef ref;
  if (!DecodeVarRef(&r.args, &ref)) {
    if (before.empty())
      r.c.Add(CheckCode::kMissingOperand, before, std::string(kMsgNoOperand));
    else
      r.c.Add(CheckCode::kExpectedVariable, before, std::string(kMsgExpectedVariable) + Latin1ToUtf8(FirstWord(before)));
    return false;
  }
  r.args = TrimFrontBlanks(r.args);
  r.c.set_vars.insert(VarKey(ref));
  return true;
}

// '#' and a digit; `strict`: then a blank or the end (ReadChannel's rule).
bool ReadChannelKind(ShapeRun& r, bool strict) {
  std::string_view a = r.args;
  bool ok = a.size() >= 2 && a[0] == '#' && a[1] >= '0' && a[1] <= '9' && (!strict || a.size() == 2 || a[2] == ' ');
  if (!ok) {
    if (a.empty())
      r.c.Add(CheckCode::kMissingOperand, a, std::string(kMsgNoOperand));
    else
      r.c.Add(CheckCode::kExpectedChannel, a, std::string(kMsgExpectedChannel) + Latin1ToUtf8(FirstWord(a)));
    return false;
  }
  r.args = TrimFrontBlanks(a.substr(2));
  return true;
}

// TELA's place: "@x,y" with numbers, or a lone letter whose variable
// holds the word.
bool ReadPositionKind(ShapeRun& r) {
  std::string_view a = r.args;
  if (a.size() == 1 && IsLetter(a[0])) {
    Operand op;
    std::string_view t = a;
    if (DecodeOperand(r.c.in, &t, &op)) NoteRead(r.c, op, a);
    r.args = {};
    return true;
  }
  if (a.empty()) {
    r.c.Add(CheckCode::kMissingOperand, a, std::string(kMsgNoOperand));
    return false;
  }
  if (a[0] != '@') {
    r.c.Add(CheckCode::kExpectedWord, a, Filled(kMsgExpectedWord, {"LIMPA, MINIMIZADA, NORMAL, @x,y", Latin1ToUtf8(FirstWord(a))}));
    return false;
  }
  std::string_view rest = a.substr(1);
  size_t comma = rest.find(',');
  int32_t n;
  if (comma == std::string_view::npos || !ParseNumber(TrimBlanks(rest.substr(0, comma)), &n) ||
      !ParseNumber(TrimBlanks(rest.substr(comma + 1)), &n)) {
    r.c.Add(CheckCode::kExpectedNumber, a, std::string(kMsgExpectedNumber) + Latin1ToUtf8(a), a.size());
    return false;
  }
  r.args = {};
  return true;
}

// '[' name ']' as ReadListName reads it.
bool ReadListKind(ShapeRun& r) {
  std::string_view a = r.args;
  size_t close = a.size() > 1 && a[0] == '[' ? a.find(']', 2) : std::string_view::npos;
  if (close == std::string_view::npos) {
    if (a.empty())
      r.c.Add(CheckCode::kMissingOperand, a, std::string(kMsgNoOperand));
    else
      r.c.Add(CheckCode::kExpectedList, a, std::string(kMsgExpectedList) + Latin1ToUtf8(FirstWord(a)));
    return false;
  }
  r.args = TrimFrontBlanks(a.substr(close + 1));
  return true;
}

// Operands one after another while they read; the line fails at the first
// text that is not one.
bool ReadJoinedKind(ShapeRun& r) {
  while (!r.args.empty()) {
    std::string_view before = r.args;
    Operand op;
    if (!DecodeOperand(r.c.in, &r.args, &op)) {
      AddOperandFault(r.c, before);
      return false;
    }
    r.args = TrimFrontBlanks(r.args);
    NoteRead(r.c, op, TrimBlanks(before.substr(0, before.size() - r.args.size())));
    CheckDecodedOperand(r.c, op, before);
  }
  return true;
}

bool ReadEnd(ShapeRun& r, bool fails) {
  if (r.args.empty()) return true;
  std::string_view rest = TrimBlanks(r.args);
  if (fails) {
    r.c.Add(CheckCode::kTextLeft, rest, std::string(kMsgTextLeft) + Latin1ToUtf8(rest), rest.size());
    return false;
  }
  r.c.Add(CheckCode::kTextIgnored, rest, std::string(kMsgTextIgnored) + Latin1ToUtf8(rest), rest.size());
  return true;
}

// The forms of a choice, split at its top-level '|'; *shape moves past the
// closing '}'.
std::vector<std::string_view> TakeForms(std::string_view* shape) {
  std::vector<std::string_view> forms;
  int depth = 0;
  size_t start = 1;
  for (size_t i = 1; i < shape->size(); ++i) {
    char ch = (*shape)[i];
    if (ch == '{') ++depth;
    if (ch == '}' && depth-- == 0) {
      forms.push_back(shape->substr(start, i - start));
      *shape = shape->substr(i + 1);
      return forms;
    }
    if (ch == '|' && depth == 0) {
      forms.push_back(shape->substr(start, i - start));
      start = i + 1;
    }
  }
  *shape = {};
  return forms;
}

std::string_view KeywordOf(std::string_view form) {
  size_t n = 0;
  while (n < form.size() && IsKeywordByte(form[n])) ++n;
  return form.substr(0, n);
}

// Whether a form without a word of its own can start at text.
bool CanStart(std::string_view form, std::string_view text) {
  while (!form.empty() && (form[0] == ' ' || form[0] == '&')) form.remove_prefix(1);
  if (form.empty()) return true;
  if (form[0] == 'c' || form[0] == 'k') return !text.empty() && text[0] == '#';
  if (form[0] == 'l') return !text.empty() && text[0] == '[';
  if (form[0] == 'v') return !text.empty() && (text[0] == '$' || IsLetter(text[0]));
  return true;
}

bool RunChoice(ShapeRun& r, const std::vector<std::string_view>& forms) {
  for (std::string_view form : forms) {
    std::string_view word = KeywordOf(form);
    if (word.empty() || !StartsWithKeyword(r.args, word)) continue;
    if (r.args.size() > word.size() && !IsBlank(r.args[word.size()])) continue;
    r.args = TrimFrontBlanks(r.args.substr(word.size()));
    return Run(r, form.substr(word.size()));
  }
  for (std::string_view form : forms)
    if (KeywordOf(form).empty() && CanStart(form, r.args)) return Run(r, form);
  std::string words;
  for (std::string_view form : forms) {
    std::string_view word = KeywordOf(form);
    if (word.empty()) continue;
    if (!words.empty()) words += ", ";
    words += Latin1ToUtf8(word);
  }
  if (r.args.empty())
    r.c.Add(CheckCode::kMissingOperand, r.args, std::string(kMsgNoOperand) + ": " + words);
  else
    r.c.Add(CheckCode::kExpectedWord, r.args, Filled(kMsgExpectedWord, {words, Latin1ToUtf8(FirstWord(r.args))}));
  return false;
}

bool Run(ShapeRun& r, std::string_view shape) {
  while (!shape.empty()) {
    char kind = shape[0];
    shape.remove_prefix(1);
    bool ok = true;
    switch (kind) {
      case ' ': break;
      case '&':
        while (TakeTrailingAmpersand(&r.args)) {
        }
        break;
      case '?':
        if (r.args.empty()) return true;
        break;
      case ',':
        if (!r.args.empty() && r.args[0] == ',') r.args = TrimFrontBlanks(r.args.substr(1));
        break;
      case 'v': ok = ReadVariableKind(r); break;
      case 'o': ok = ReadOperandKind(r, 0, {}); break;
      case 'n':
      case 'u': ok = ReadOperandKind(r, kind, TakeNumberRule(&shape)); break;
      case 'c':
      case 'k': ok = ReadChannelKind(r, kind == 'c'); break;
      case 'p': ok = ReadPositionKind(r); break;
      case 'w':
        if (r.args.empty()) {
          r.c.Add(CheckCode::kMissingOperand, r.args, std::string(kMsgNoOperand));
          return false;
        }
        r.args = TrimFrontBlanks(r.args.substr(FirstWord(r.args).size()));
        break;
      case '%':
        if (TakeTrailingAmpersand(&r.args)) return true;  // its failures are quiet
        break;
      case 'l': ok = ReadListKind(r); break;
      case 'j': ok = ReadJoinedKind(r); break;
      case 'r':
        if (r.args.empty()) {
          r.c.Add(CheckCode::kMissingOperand, r.args, std::string(kMsgNoOperand));
          return false;
        }
        r.args = {};
        break;
      case '.':
      case '~': return ReadEnd(r, kind == '.');
      case '{': {
        std::string_view from_brace = std::string_view(shape.data() - 1, shape.size() + 1);
        std::vector<std::string_view> forms = TakeForms(&from_brace);
        shape = from_brace;
        ok = RunChoice(r, forms);
        break;
      }
      default: break;  // a word's letters are read by RunChoice
    }
    if (!ok) return false;
  }
  return true;
}

}  // namespace

bool CheckShape(Checker& c, std::string_view args, std::string_view shape) {
  ShapeRun r{c, TrimFrontBlanks(args)};
  return Run(r, shape);
}

}  // namespace kal
