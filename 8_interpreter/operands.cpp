// The operand readers. Every command consumes its argument text from the
// left with these; what is left after the last operand decides, command by
// command, whether the line is valid.
#include "8_interpreter/operands.h"

#include <charconv>

#include "0_base/latin1.h"
#include "8_interpreter/expression_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

// Where the parenthesis at the front of text is closed (quoted strings
// skipped), or npos.
size_t ClosingParenthesis(std::string_view text) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return i;
  }
  return std::string_view::npos;
}

// The text in question in a message: its first word, or up to the end of
// the expression at its front.
std::string Quoted(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return Latin1ToUtf8(text.substr(0, end));
}

}  // namespace

std::string_view TextOf(const Value& value, NumberText* buf) {
  if (!value.is_number) return value.text;
  auto end = std::to_chars(buf->digits, buf->digits + sizeof buf->digits, value.number).ptr;
  return std::string_view(buf->digits, static_cast<size_t>(end - buf->digits));
}

bool ReadOperandValue(InterpreterState& in, std::string_view* args, Value* value, std::string* scratch) {
  std::string_view t = TrimFrontBlanks(*args);
  if (t.empty()) return false;
  char c = t[0];
  *value = Value();
  if (c == '-' || IsDigit(c)) {
    size_t n = 1;
    while (n < t.size() && IsDigit(t[n])) ++n;
    value->text = t.substr(0, n);
    t.remove_prefix(n);
  } else if (c == '"') {
    // A string with no doubled quote mark is a plain slice of the line.
    size_t q = t.find('"', 1);
    if (q != std::string_view::npos && (q + 1 >= t.size() || t[q + 1] != '"')) {
      value->text = t.substr(1, q - 1);
      t.remove_prefix(q + 1);
    } else {
      scratch->clear();
      ReadQuoted(&t, scratch);
      value->text = *scratch;
    }
  } else if (c == '$') {
    size_t n = NameLength(t.substr(1));
    int slot;
    if (n == 0 || !LookupName(in, t.substr(1, n), &slot)) return false;
    ReadVarValue(in, slot, value);
    t.remove_prefix(1 + n);
  } else if (int slot = LetterSlot(static_cast<unsigned char>(c))) {
    ReadVarValue(in, slot, value);
    t.remove_prefix(1);
  } else if (c == '(') {
    t.remove_prefix(1);
    if (!EvaluateExpression(in, &t, &value->number)) return false;
    t = TrimFrontBlanks(t);
    if (t.empty() || t[0] != ')') return false;
    t.remove_prefix(1);
    value->is_number = true;
  } else {
    return false;
  }
  *args = TrimBlanks(t);
  return true;
}

bool ReadOperand(InterpreterState& in, std::string_view* args, std::string* value) {
  Value v;
  if (!ReadOperandValue(in, args, &v, value)) {
    value->clear();
    return false;
  }
  NumberText buf;
  std::string_view text = TextOf(v, &buf);
  if (text.data() != value->data()) value->assign(text);
  return true;
}

bool ReadNumberOperand(InterpreterState& in, std::string_view* args, bool trimmed, int32_t* n) {
  std::string scratch;
  Value v;
  return ReadOperandValue(in, args, &v, &scratch) && NumberOfValue(v, trimmed, n);
}

bool ReadVariableRef(InterpreterState& in, std::string_view* args, int* slot) {
  std::string_view t = TrimFrontBlanks(*args);
  if (t.empty()) return false;
  if (t[0] == '$') {
    size_t n = NameLength(t.substr(1));
    if (n == 0 || !LookupName(in, t.substr(1, n), slot)) return false;
    *args = TrimBlanks(t.substr(1 + n));
    return true;
  }
  int letter = LetterSlot(static_cast<unsigned char>(t[0]));
  if (letter == 0) return false;
  if (t.size() > 1) {
    unsigned char next = static_cast<unsigned char>(t[1]);
    if (LetterSlot(next) || IsDigit(static_cast<char>(next))) return false;
  }
  *slot = letter;
  *args = TrimBlanks(t.substr(1));
  return true;
}

bool ReadChannel(std::string_view* args, int* channel) {
  std::string_view t = TrimFrontBlanks(*args);
  if (t.size() < 2 || t[0] != '#' || !IsDigit(t[1])) return false;
  *channel = t[1] - '0';
  t.remove_prefix(2);
  if (!t.empty()) {
    if (t[0] != ' ') return false;
    while (!t.empty() && t[0] == ' ') t.remove_prefix(1);
  }
  *args = t;
  return true;
}

bool ReadListName(std::string_view* args, std::string* name) {
  std::string_view t = TrimBlanks(*args);
  if (t.size() < 2 || t[0] != '[') return false;
  // A ']' right after '[' belongs to the name; the next one ends it.
  size_t close = t.find(']', 2);
  if (close == std::string_view::npos) return false;
  name->assign(t.substr(1, close - 1));
  *args = t.substr(close + 1);
  return true;
}

std::string OperandFault(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  if (t.empty()) return std::string(kMsgNoOperand);
  if (t[0] == '(') {
    size_t close = ClosingParenthesis(t);
    if (close == std::string_view::npos) return std::string(kMsgParenNotClosed);
    return std::string(kMsgBadExpression) + Latin1ToUtf8(t.substr(0, close + 1));
  }
  return std::string(kMsgBadOperand) + Quoted(t);
}

bool TakeTrailingAmpersand(std::string_view* args) {
  if (args->empty() || args->back() != '&') return false;
  args->remove_suffix(1);
  *args = TrimBlanks(*args);
  return true;
}

bool StartsWithKeyword(std::string_view text, std::string_view keyword) {
  if (text.size() < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c >= 'a' && c <= 'z') || c >= 0xE0) c = static_cast<unsigned char>(c - 0x20);
    if (c != static_cast<unsigned char>(keyword[i])) return false;
  }
  return true;
}

std::string JoinOperands(InterpreterState& in, std::string_view* args) {
  std::string joined, scratch;
  while (!args->empty()) {
    std::string_view before = *args;
    Value v;
    if (!ReadOperandValue(in, args, &v, &scratch)) {
      *args = before;
      break;
    }
    NumberText buf;
    joined += TextOf(v, &buf);
  }
  return joined;
}

}  // namespace kal
