// The operand readers. Every command consumes its argument text from the
// left with these; what is left after the last operand decides, command by
// command, whether the line is valid.
#include "8_interpreter/operands.h"

#include <charconv>

#include "0_base/latin1.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text in question in a message: its first word, or up to the end of
// the expression at its front.
std::string Quoted(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return Latin1ToUtf8(text.substr(0, end));
}

}  // namespace

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

std::string_view TextOf(const Value& value, NumberText* buf) {
  if (!value.is_number) return value.text;
  auto end = std::to_chars(buf->digits, buf->digits + sizeof buf->digits, value.number).ptr;
  return std::string_view(buf->digits, static_cast<size_t>(end - buf->digits));
}

bool ReadOperandValue(InterpreterState& in, std::string_view* args, Value* value, std::string* scratch) {
  std::string_view t = *args;
  Operand op;
  // A text that fails to read still has the names it met looked up.
  bool read = ReadOperandSyntax(&t, &op);
  *value = Value();
  if (!OperandValue(in, op, value) || !read) return false;
  if (op.kind == Operand::Kind::kText) {
    scratch->swap(op.text);
    value->text = *scratch;
  }
  *args = t;
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
  std::string_view written = *args;
  if (!ReadOperandValue(in, args, &v, &scratch)) return false;
  if (NumberOfValue(v, trimmed, n)) return true;
  return FailNotNumber(in, written.substr(0, static_cast<size_t>(args->data() - written.data())), v);
}

bool ReadVariableRef(InterpreterState& in, std::string_view* args, int* slot) {
  std::string_view t = *args;
  VarRef ref;
  if (!DecodeVarRef(&t, &ref) || !ref.Resolve(in, slot)) return false;
  *args = t;
  return true;
}

namespace {

// '#' and one digit at the front of *t, removed.
bool TakeChannel(std::string_view* t, int* channel) {
  if (t->size() < 2 || (*t)[0] != '#' || !IsDigit((*t)[1])) return false;
  *channel = (*t)[1] - '0';
  t->remove_prefix(2);
  return true;
}

}  // namespace

bool ReadChannelDigit(std::string_view* args, int* channel) {
  if (!TakeChannel(args, channel)) return false;
  *args = TrimBlanks(*args);
  return true;
}

bool ReadChannel(std::string_view* args, int* channel) {
  std::string_view t = TrimFrontBlanks(*args);
  if (!TakeChannel(&t, channel)) return false;
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

bool ReadWrittenLabel(std::string_view args, std::string_view* name) {
  if (args.empty() || args[0] != '@' || args.find(' ') != std::string_view::npos) return false;
  *name = args.substr(1);
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
