// Deriving the quick steps from decoded lines and running them. Every
// quick case reads its operands in the order the decoded runner reads them
// and decides whether it can go on before it changes anything; where it
// cannot, the decoded runner runs the line (reading a variable or a literal
// twice changes nothing, and an expression read again reads the same).
#include "8_interpreter/quick_code.h"

#include "8_interpreter/control_flow.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

// How an operand can be taken quickly; kNot leaves the line to its runner,
// kLater does so until the line has looked its names up.
enum class ArgUse : uint8_t { kQuick, kNot, kLater };

ArgUse VariableArg(const VarRef& ref, QuickArg* arg) {
  if (ref.slot == 0) return ArgUse::kLater;
  arg->kind = QuickArg::Kind::kSlot;
  arg->slot = static_cast<int16_t>(ref.slot);
  return ArgUse::kQuick;
}

// An operand read under the numeric rule (SOMA's number, REPETE's count).
ArgUse NumberArg(const Operand& op, QuickArg* arg) {
  switch (op.kind) {
    case Operand::Kind::kText:
      if (!op.numeric) return ArgUse::kNot;  // fails: the runner says why
      arg->kind = QuickArg::Kind::kNumber;
      arg->value = op.number;
      return ArgUse::kQuick;
    case Operand::Kind::kVariable:
      return VariableArg(op.var, arg);
    case Operand::Kind::kExpression:
      break;
  }
  return ArgUse::kNot;
}

// Whether the expression is a chain: a variable, then operators on
// literals.
bool IsChain(const ExprCode& code) {
  if (code.steps.empty() || code.steps[0].code != ExprStep::Code::kVariable) return false;
  for (size_t k = 1; k < code.steps.size(); ++k) {
    ExprStep::Code c = code.steps[k].code;
    if (c != ExprStep::Code::kAddK && c != ExprStep::Code::kSubK && c != ExprStep::Code::kMulK &&
        c != ExprStep::Code::kDivK)
      return false;
  }
  return true;
}

// An operand of a condition, compared as a number when it is one.
ArgUse OrderArg(Operand& op, QuickArg* arg) {
  switch (op.kind) {
    case Operand::Kind::kText:
      if (!op.digits) return ArgUse::kNot;
      arg->kind = QuickArg::Kind::kNumber;
      arg->order = op.digits_value;
      return ArgUse::kQuick;
    case Operand::Kind::kVariable:
      return VariableArg(op.var, arg);
    case Operand::Kind::kExpression:
      arg->kind = IsChain(op.expr) ? QuickArg::Kind::kChain : QuickArg::Kind::kExpression;
      arg->expr = &op.expr;
      return ArgUse::kQuick;
  }
  return ArgUse::kNot;
}

ArgUse Both(ArgUse a, ArgUse b) {
  if (a == ArgUse::kNot || b == ArgUse::kNot) return ArgUse::kNot;
  return a == ArgUse::kLater || b == ArgUse::kLater ? ArgUse::kLater : ArgUse::kQuick;
}

ArgUse ConditionStep(Condition& c, QuickStep* s) {
  if (c.op == CompareOp::kIn || !OrdersNumbers(c.op)) return ArgUse::kNot;
  s->op = c.op;
  s->negate = c.negate;
  return Both(OrderArg(c.left, &s->a), OrderArg(c.right, &s->b));
}

// The quick form of a quiet line's decoded form.
ArgUse QuickForm(LineCode& code, QuickStep* s) {
  switch (code.kind) {
    case LineKind::kSoma:
      s->code = QuickCode::kSoma;
      return Both(VariableArg(code.var, &s->b), NumberArg(code.operands[0], &s->a));
    case LineKind::kEnquanto:
      s->code = QuickCode::kWhile;
      return ConditionStep(code.condition, s);
    case LineKind::kSe:
      s->code = QuickCode::kIf;
      return ConditionStep(code.condition, s);
    case LineKind::kFimEnquanto:
      s->code = QuickCode::kBack;
      s->target = code.head;
      return ArgUse::kQuick;
    case LineKind::kFimRepete:
      s->code = QuickCode::kStep;
      s->target = code.head;
      return Both(VariableArg(code.var, &s->b), NumberArg(code.operands[0], &s->a));
    case LineKind::kFimOther:
      s->code = QuickCode::kNothing;
      return ArgUse::kQuick;
    default:
      return ArgUse::kNot;
  }
}

// Derives line n's step; leaves it unbuilt while the line is not decoded.
void Derive(InterpreterState& in, int n, QuickStep* s) {
  LineCode& code = in.index.codes[static_cast<size_t>(n)];
  if (code.kind == LineKind::kUndecoded) return;
  *s = QuickStep();
  s->line = &code;
  if (!code.quiet) {
    s->code = QuickCode::kEnd;
    return;
  }
  ArgUse use = QuickForm(code, s);
  if (use == ArgUse::kQuick) return;
  *s = QuickStep();
  s->line = &code;
  s->code = QuickCode::kLine;
  s->again = use == ArgUse::kLater;
}

// The steps for the current decoded lines, all unbuilt after a change.
QuickStep* StepsOf(InterpreterState& in) {
  ScriptIndex& idx = in.index;
  QuickTable& t = idx.quick;
  if (t.generation != idx.codes_generation || t.steps.size() != idx.codes.size()) {
    t.steps.assign(idx.codes.size(), QuickStep());
    t.generation = idx.codes_generation;
  }
  return t.steps.data();
}

// A number operand's value when it can be had quickly: a literal, or a
// variable held as a number that fits.
inline bool QuickNumber(InterpreterState& in, const QuickArg& a, int32_t* n) {
  if (a.kind == QuickArg::Kind::kNumber) {
    *n = a.value;
    return true;
  }
  size_t i = static_cast<size_t>(a.slot);
  return in.var_is_number[i] && NumberFits(in.var_number[i], n);
}

// A condition's operand that is no expression as a number at or above
// zero; false when it is none (the runner compares it).
inline bool PlainOrder(const InterpreterState& in, const QuickArg& a, uint64_t* n) {
  if (a.kind == QuickArg::Kind::kNumber) {
    *n = a.order;
    return true;
  }
  size_t i = static_cast<size_t>(a.slot);
  int64_t v = in.var_number[i];
  if (!in.var_is_number[i] || v < 0) return false;
  *n = static_cast<uint64_t>(v);
  return true;
}

// A chain's value when its variable has been looked up and holds a number
// that fits; false when not, and RunExpression runs it (to the same end).
inline bool ChainValue(const InterpreterState& in, const ExprCode& code, int64_t* value) {
  size_t i = static_cast<size_t>(code.vars[0].slot);
  int32_t x;
  if (i == 0 || !in.var_is_number[i] || !NumberFits(in.var_number[i], &x)) return false;
  int64_t v = x;
  for (size_t k = 1; k < code.steps.size(); ++k) v = WithLiteral(code.steps[k], v);
  *value = v;
  return true;
}

inline bool IsExpression(const QuickArg& a) {
  return a.kind == QuickArg::Kind::kExpression || a.kind == QuickArg::Kind::kChain;
}

// A condition's operand as a number at or above zero: 1 with *n, 0 when it
// is none (the runner compares it), -1 when its expression failed.
inline int QuickOrder(InterpreterState& in, const QuickArg& a, uint64_t* n) {
  if (!IsExpression(a)) return PlainOrder(in, a, n) ? 1 : 0;
  int64_t v = 0;
  bool chained = a.kind == QuickArg::Kind::kChain && ChainValue(in, *a.expr, &v);
  if (!chained && !RunExpression(in, *a.expr, &v)) return -1;
  if (v < 0) return 0;
  *n = static_cast<uint64_t>(v);
  return 1;
}

// The truth of a condition over variables and literals only (a counting
// loop's head): 1 true, 0 false, 2 left to the runner.
inline int PlainTruth(const InterpreterState& in, const QuickStep& s) {
  uint64_t l, r;
  if (!PlainOrder(in, s.a, &l) || !PlainOrder(in, s.b, &r)) return 2;
  return NumbersHold(s.op, l, r) != s.negate ? 1 : 0;
}

// A condition's truth: 1 true, 0 false, -1 failed, 2 left to the runner.
inline int QuickTruth(InterpreterState& in, const QuickStep& s) {
  uint64_t l, r;
  int got = QuickOrder(in, s.a, &l);
  if (got == 1) got = QuickOrder(in, s.b, &r);
  if (got != 1) return got == 0 ? 2 : -1;
  return NumbersHold(s.op, l, r) != s.negate ? 1 : 0;
}

// SOMA when it can only add to a number that fits: true once done.
inline bool QuickSoma(InterpreterState& in, const QuickStep& s) {
  int32_t n, v;
  size_t i = static_cast<size_t>(s.b.slot);
  if (!QuickNumber(in, s.a, &n) || !in.var_is_number[i] || !NumberFits(in.var_number[i], &v)) return false;
  return AddToSuffix(in, s.b.slot, n);
}

// Whether a loop's body may hold line n's step in a pass: SOMA, and a
// one-line SE (run in the pass while its condition is false). 0 while the
// line has no step yet.
int BodyStep(const QuickStep& s) {
  if (s.code == QuickCode::kUnbuilt) return 0;
  return s.code == QuickCode::kSoma || s.code == QuickCode::kIf ? 1 : -1;
}

// The lines of one pass of the loop whose steps decide its passes at line
// n: an ENQUANTO over variables and literals (head, body, FIM ENQUANTO) or
// a FIM REPETE (body, FIM REPETE), with a body of BodyStep lines. 1 when it
// is none, 0 while not all its lines have steps yet. The body is read up
// to its first line that cannot be in one.
int16_t PassLines(const QuickStep* steps, int n, int last) {
  const QuickStep& s = steps[n];
  const bool repete = s.code == QuickCode::kStep;
  if (!repete && (IsExpression(s.a) || IsExpression(s.b))) return 1;
  const int from = repete ? s.target + 1 : n + 1;  // the body's first line
  for (int b = from; b <= last && b - from < 63; ++b) {
    const QuickStep& line = steps[b];
    if (repete ? b == n : line.code == QuickCode::kBack && line.target == n) {
      if (b == from) return 1;  // no body
      return static_cast<int16_t>(repete ? b - from + 1 : b - n + 1);
    }
    int use = BodyStep(line);
    if (use <= 0) return static_cast<int16_t>(use == 0 ? 0 : 1);
  }
  return 1;
}

// Where running a loop's passes stopped: the lines run, the line the steps
// go on from, and whether that line failed (current line set there).
struct Passes {
  int ran = 0;
  int at = 0;
  bool failed = false;
};

// Runs body lines from `from` up to `to` while each can be run the quick
// way; the line it stopped before (to when all ran) goes into p->at, the
// lines run into p->ran. True when all ran.
inline bool RunBody(InterpreterState& in, const QuickStep* steps, int from, int to, Passes* p) {
  for (int n = from; n < to; ++n) {
    const QuickStep& s = steps[n];
    int truth = 0;
    if (s.code == QuickCode::kSoma ? QuickSoma(in, s) : (truth = QuickTruth(in, s)) == 0) continue;
    p->ran += n - from;
    p->at = n;
    if (truth < 0) {
      in.current_line = n;
      p->failed = true;
    }
    return false;  // a true SE, or a line for the steps one by one
  }
  p->ran += to - from;
  return true;
}

// Whole passes of the counting loop headed at h while `room` lines allow
// one; the head's step decides when they end.
Passes CountingPasses(InterpreterState& in, const QuickStep* steps, int h, int room) {
  const QuickStep& head = steps[h];
  const int lines = head.pass_lines;
  Passes p;
  p.at = h;
  while (room - p.ran >= lines) {
    if (PlainTruth(in, head) != 1) return p;
    ++p.ran;
    if (!RunBody(in, steps, h + 1, h + lines - 1, &p)) return p;
    ++p.ran;  // FIM ENQUANTO
    p.at = h;
  }
  return p;
}

// Whole passes of the REPETE loop whose FIM REPETE is line f, its step
// first, while `room` lines allow one; where the count is not at hand, or
// the counter is no number that fits, the steps go on one by one.
Passes RepetePasses(InterpreterState& in, const QuickStep* steps, int f, int room) {
  const QuickStep& fim = steps[f];
  const int body = fim.target + 1;
  Passes p;
  p.at = f;
  int32_t count, counter;
  while (room - p.ran >= fim.pass_lines) {
    if (!QuickNumber(in, fim.a, &count) || !QuickNumber(in, fim.b, &counter)) return p;
    in.current_line = fim.target;
    StepCount(in, fim.b.slot, count);  // cannot fail: the counter is a number
    ++p.ran;
    p.at = in.current_line + 1;
    if (p.at != body || !RunBody(in, steps, body, f, &p)) return p;
    p.at = f;
  }
  return p;
}

// The decoded line's runner on the line at *pc; *pc: the line after the
// one it leaves current. A reason left by a line that succeeded is
// forgotten, as the run loop forgets it before the next line.
inline bool RunDecoded(InterpreterState& in, const QuickStep& s, int* pc) {
  in.current_line = *pc;
  if (!RunLineCode(in, *s.line)) return false;
  if (!in.fail_reason.code.empty()) ClearFailReason(in);
  *pc = in.current_line + 1;
  return true;
}

// A condition's outcome on the run: ENQUANTO leaves its loop, a one-line
// SE runs its command, each where the current line is the condition's.
bool WhileOutcome(InterpreterState& in, int truth, int* pc) {
  if (truth == 1) {
    ++*pc;
    return true;
  }
  in.current_line = *pc;
  EnquantoOutcome(in, false);
  *pc = in.current_line + 1;
  return true;
}

bool IfOutcome(InterpreterState& in, int truth, const QuickStep& s, int* pc) {
  if (truth == 0) {
    ++*pc;
    return true;
  }
  in.current_line = *pc;
  if (!SeOutcome(in, true, s.line->command, &s.line->nested)) return false;
  if (!in.fail_reason.code.empty()) ClearFailReason(in);
  *pc = in.current_line + 1;
  return true;
}

// FIM REPETE: the step runs on the head line, as the runner moves there.
bool QuickStepCount(InterpreterState& in, const QuickStep& s, int* pc) {
  int32_t count;
  if (!QuickNumber(in, s.a, &count)) return RunDecoded(in, s, pc);
  in.current_line = s.target;
  if (!StepCount(in, s.b.slot, count)) return false;
  *pc = in.current_line + 1;
  return true;
}

// One line's step; false when the line failed. *stop: the quick run ends
// before this line (not quiet, or not decoded yet), nothing run.
bool RunStep(InterpreterState& in, QuickStep* steps, int* pc, bool* stop) {
  QuickStep& s = steps[*pc];
  switch (s.code) {
    case QuickCode::kUnbuilt:
    case QuickCode::kEnd:
      *stop = true;
      return true;
    case QuickCode::kLine: {
      int n = *pc;
      if (!RunDecoded(in, s, pc)) return false;
      if (s.again) Derive(in, n, &s);
      return true;
    }
    case QuickCode::kSoma:
      if (QuickSoma(in, s)) {
        ++*pc;
        return true;
      }
      return RunDecoded(in, s, pc);
    case QuickCode::kWhile:
    case QuickCode::kIf: {
      int truth = QuickTruth(in, s);
      if (truth == 2) return RunDecoded(in, s, pc);
      if (truth < 0) {
        in.current_line = *pc;
        return false;
      }
      return s.code == QuickCode::kWhile ? WhileOutcome(in, truth, pc) : IfOutcome(in, truth, s, pc);
    }
    case QuickCode::kBack:
      *pc = s.target;
      return true;
    case QuickCode::kStep:
      return QuickStepCount(in, s, pc);
    case QuickCode::kNothing:
      ++*pc;
      return true;
  }
  return true;
}

}  // namespace

int RunQuickLines(InterpreterState& in, int most) {
  QuickStep* steps = StepsOf(in);  // quiet lines neither store nor decode lines
  const int last = in.line_count;
  int pc = in.current_line;
  int ran = 0;
  if (!in.fail_reason.code.empty()) ClearFailReason(in);
  while (ran < most && pc <= last) {
    QuickStep& s = steps[pc];
    if (s.code == QuickCode::kUnbuilt) {
      Derive(in, pc, &s);
      if (s.code == QuickCode::kUnbuilt) break;
    }
    if (s.code == QuickCode::kWhile || s.code == QuickCode::kStep) {
      if (s.pass_lines == 0) s.pass_lines = PassLines(steps, pc, last);
      if (s.pass_lines > 1) {
        Passes p = s.code == QuickCode::kWhile ? CountingPasses(in, steps, pc, most - ran)
                                               : RepetePasses(in, steps, pc, most - ran);
        ran += p.ran;
        if (p.failed) {
          in.error = true;
          in.lines_run += ran;
          return ran + 1;
        }
        if (p.at != pc || ran >= most) {
          pc = p.at;
          continue;
        }
      }
    }
    bool stop = false;
    if (!RunStep(in, steps, &pc, &stop)) {
      in.error = true;
      in.lines_run += ran;
      return ran + 1;
    }
    if (stop) break;
    ++ran;
  }
  in.current_line = pc;
  in.lines_run += ran;
  return ran;
}

}  // namespace kal
