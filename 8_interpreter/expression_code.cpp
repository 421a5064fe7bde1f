// Translating expressions into postfix programs and running them; the
// translator is the recursive-descent parser of the grammar, emitting each
// step where an evaluator reading the text would act.
#include "8_interpreter/expression_code.h"

#include "8_interpreter/messages.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

// The bound on nested parentheses, and the deepest operand stack a program
// may need (each open parenthesis holds at most two).
constexpr int kMaxNesting = 64;
constexpr int kMaxStack = 2 * kMaxNesting + 4;

class ExpressionCompiler {
 public:
  ExpressionCompiler(std::string_view text, ExprCode* code) : text_(text), code_(code) {}

  bool Expression() {
    if (!Term()) return false;
    for (;;) {
      SkipSpaces();
      if (AtEnd() || (Peek() != '+' && Peek() != '-')) return true;
      char op = text_[pos_++];
      if (!Term()) return false;
      Emit(op == '+' ? ExprStep::Code::kAdd : ExprStep::Code::kSub);
    }
  }

  std::string_view Rest() const { return text_.substr(pos_); }
  bool StackFits() const { return max_depth_ <= kMaxStack; }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }
  void SkipSpaces() {
    while (!AtEnd() && Peek() == ' ') ++pos_;
  }

  // Keeps count of the operand stack the program will need.
  void Emit(ExprStep::Code code, int64_t number = 0, uint32_t var = 0) {
    if (FoldsLiteral(code)) {
      --depth_;
      return;
    }
    code_->steps.push_back({code, var, number});
    if (code == ExprStep::Code::kNumber || code == ExprStep::Code::kVariable) {
      if (++depth_ > max_depth_) max_depth_ = depth_;
    } else if (code != ExprStep::Code::kNeg) {
      --depth_;
    }
  }

  // An operator whose right operand is the literal just emitted becomes
  // one step holding it; a division by 0 or -1 stays as it is, for the
  // run's checks (and the script check's sight of a written zero).
  bool FoldsLiteral(ExprStep::Code code) {
    using C = ExprStep::Code;
    if (code != C::kAdd && code != C::kSub && code != C::kMul && code != C::kDiv) return false;
    ExprStep& last = code_->steps.back();
    if (last.code != C::kNumber || (code == C::kDiv && (last.number == 0 || last.number == -1))) return false;
    last.code = code == C::kAdd ? C::kAddK : code == C::kSub ? C::kSubK : code == C::kMul ? C::kMulK : C::kDivK;
    return true;
  }

  bool Term() {
    if (!Factor()) return false;
    for (;;) {
      SkipSpaces();
      if (AtEnd() || (Peek() != '*' && Peek() != '/')) return true;
      char op = text_[pos_++];
      if (!Factor()) return false;
      Emit(op == '*' ? ExprStep::Code::kMul : ExprStep::Code::kDiv);
    }
  }

  bool Factor() {
    bool negate = false;
    for (;;) {
      SkipSpaces();
      if (AtEnd()) return false;
      if (Peek() != '-') break;
      negate = !negate;
      ++pos_;
    }
    if (!Primary()) return false;
    if (negate) Emit(ExprStep::Code::kNeg);
    return true;
  }

  bool Primary() {
    char c = Peek();
    if (c >= '0' && c <= '9') {
      uint32_t n = 0;  // a literal too long for 32 bits wraps around
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') n = n * 10 + static_cast<uint32_t>(text_[pos_++] - '0');
      Emit(ExprStep::Code::kNumber, static_cast<int32_t>(n));
      return true;
    }
    if (c == '(') {
      if (nesting_ >= kMaxNesting) return false;
      ++pos_;
      ++nesting_;
      bool ok = Expression();
      --nesting_;
      SkipSpaces();
      if (!ok || AtEnd() || Peek() != ')') return false;
      ++pos_;
      return true;
    }
    VarRef ref;
    if (c == '$') {
      size_t n = NameLength(text_.substr(pos_ + 1));
      if (n == 0) return false;
      ref.name.assign(text_.substr(pos_ + 1, n));
      pos_ += 1 + n;
    } else if ((ref.slot = LetterSlot(static_cast<unsigned char>(c))) != 0) {
      ++pos_;
    } else {
      return false;
    }
    code_->vars.push_back(std::move(ref));
    Emit(ExprStep::Code::kVariable, 0, static_cast<uint32_t>(code_->vars.size() - 1));
    return true;
  }

  std::string_view text_;
  ExprCode* code_;
  size_t pos_ = 0;
  int nesting_ = 0;
  int depth_ = 0;
  int max_depth_ = 0;
};

}  // namespace

bool VarRef::ResolveName(InterpreterState& in, int* out) {
  if (name.empty()) return false;  // no variable was read: the line fails here
  if (!LookupName(in, name, &slot)) return false;
  *out = slot;
  return true;
}

bool CompileExpression(std::string_view* text, ExprCode* code) {
  *code = ExprCode();
  ExpressionCompiler c(*text, code);
  bool ok = c.Expression();
  *text = c.Rest();
  if (ok && c.StackFits()) return true;
  // The nesting bound keeps the stack within kMaxStack; should it not, the
  // program must not run at all.
  if (!c.StackFits()) code->steps.clear();
  code->steps.push_back({ExprStep::Code::kFail, 0, 0});
  return false;
}

bool RunExpression(InterpreterState& in, ExprCode& code, int64_t* value) {
  using C = ExprStep::Code;
  int64_t stack[kMaxStack];
  int top = 0;  // stack[top - 1] is the top
  for (const ExprStep& step : code.steps) {
    switch (step.code) {
      case C::kNumber:
        stack[top++] = step.number;
        break;
      case C::kVariable: {
        int slot;
        int32_t v;
        if (!code.vars[step.var].Resolve(in, &slot)) return false;
        if (!VarAsNumber(in, slot, &v)) return FailNotNumber(in, slot);
        stack[top++] = v;
        break;
      }
      case C::kNeg:
        stack[top - 1] = static_cast<int64_t>(0 - static_cast<uint64_t>(stack[top - 1]));
        break;
      case C::kFail:
        return false;
      case C::kAddK:
      case C::kSubK:
      case C::kMulK:
      case C::kDivK:
        stack[top - 1] = WithLiteral(step, stack[top - 1]);
        break;
      case C::kAdd:  // each as the same operator on a literal
        --top;
        stack[top - 1] = WithLiteral({C::kAddK, 0, stack[top]}, stack[top - 1]);
        break;
      case C::kSub:
        --top;
        stack[top - 1] = WithLiteral({C::kSubK, 0, stack[top]}, stack[top - 1]);
        break;
      case C::kMul:
        --top;
        stack[top - 1] = WithLiteral({C::kMulK, 0, stack[top]}, stack[top - 1]);
        break;
      case C::kDiv: {
        int64_t b = stack[--top];
        int64_t& a = stack[top - 1];
        if (b == 0) return Fail(in, CheckCode::kDivisionByZero, std::string(kMsgDivisionByZero));
        // -1 also gives the one quotient that does not fit
        a = b == -1 ? static_cast<int64_t>(0 - static_cast<uint64_t>(a)) : WithLiteral({C::kDivK, 0, b}, a);
        break;
      }
    }
  }
  *value = stack[0];
  return true;
}

}  // namespace kal
