// Parenthesised integer expressions: + - * / with the usual precedence,
// unary minus, numbers and variables, evaluated in 64 bits. Operations wrap
// instead of overflowing; division by zero and nesting beyond kMaxNesting
// make the expression invalid, so no input can crash or exhaust the stack.
#include <cstdint>

#include "8_interpreter/conditions.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

constexpr int kMaxNesting = 64;

class ExpressionParser {
 public:
  explicit ExpressionParser(std::string_view text) : text_(text) {}

  bool Expression(int64_t* value) {
    if (!Term(value)) return false;
    for (;;) {
      SkipSpaces();
      if (AtEnd() || (Peek() != '+' && Peek() != '-')) return true;
      char op = text_[pos_++];
      int64_t rhs;
      if (!Term(&rhs)) return false;
      uint64_t a = static_cast<uint64_t>(*value), b = static_cast<uint64_t>(rhs);
      *value = static_cast<int64_t>(op == '+' ? a + b : a - b);
    }
  }

  std::string_view Rest() const { return text_.substr(pos_); }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }
  void SkipSpaces() {
    while (!AtEnd() && Peek() == ' ') ++pos_;
  }

  bool Term(int64_t* value) {
    if (!Factor(value)) return false;
    for (;;) {
      SkipSpaces();
      if (AtEnd() || (Peek() != '*' && Peek() != '/')) return true;
      char op = text_[pos_++];
      int64_t rhs;
      if (!Factor(&rhs)) return false;
      if (op == '*') {
        *value = static_cast<int64_t>(static_cast<uint64_t>(*value) * static_cast<uint64_t>(rhs));
      } else if (rhs == 0) {
        return false;
      } else if (rhs == -1) {  // also the one quotient that does not fit
        *value = static_cast<int64_t>(0 - static_cast<uint64_t>(*value));
      } else {
        *value /= rhs;
      }
    }
  }

  bool Factor(int64_t* value) {
    // Unary minus repeats without recursion.
    bool negate = false;
    for (;;) {
      SkipSpaces();
      if (AtEnd()) return false;
      if (Peek() != '-') break;
      negate = !negate;
      ++pos_;
    }
    if (!Primary(value)) return false;
    if (negate) *value = static_cast<int64_t>(0 - static_cast<uint64_t>(*value));
    return true;
  }

  bool Primary(int64_t* value) {
    char c = Peek();
    if (c >= '0' && c <= '9') {
      uint32_t n = 0;  // a literal too long for 32 bits wraps around
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') n = n * 10 + static_cast<uint32_t>(text_[pos_++] - '0');
      *value = static_cast<int32_t>(n);
      return true;
    }
    if (c == '(') {
      if (depth_ >= kMaxNesting) return false;
      ++pos_;
      ++depth_;
      bool ok = Expression(value);
      --depth_;
      SkipSpaces();
      if (!ok || AtEnd() || Peek() != ')') return false;
      ++pos_;
      return true;
    }
    int slot = 0;
    if (c == '$') {
      size_t n = NameLength(text_.substr(pos_ + 1));
      if (n == 0 || !LookupName(text_.substr(pos_ + 1, n), &slot)) return false;
      pos_ += 1 + n;
    } else if ((slot = LetterSlot(static_cast<unsigned char>(c))) != 0) {
      ++pos_;
    } else {
      return false;
    }
    int32_t v;
    if (!ParseNumber(Var(slot), &v)) return false;
    *value = v;
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

bool EvaluateExpression(std::string_view* text, int64_t* value) {
  ExpressionParser p(*text);
  if (!p.Expression(value)) return false;
  *text = p.Rest();
  return true;
}

}  // namespace kal
