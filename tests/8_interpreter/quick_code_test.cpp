// The quick form of quiet lines (quick_code.h) against the decoded lines
// run one by one and against the handlers reading the text: loop scripts
// at their edges must end alike in every way that can be seen, under line
// budgets that end them anywhere, mid-pass included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

enum class Way { kQuick, kDecoded, kByText };

struct Trace {
  ScriptResult result;
  std::vector<std::string> vars, names;
  int64_t lines_run = 0;
};

Trace RunWay(const std::string& script, Way way, int64_t max_lines, InterpreterState* keep = nullptr) {
  InterpreterState own;
  InterpreterState& in = keep ? *keep : own;
  in.limits.decode_lines = way != Way::kByText;
  in.limits.quick_lines = way == Way::kQuick;
  in.limits.max_lines = max_lines;
  Trace t;
  t.result = RunScriptIn(in, script, "\r");
  for (int slot = 1; slot <= kVariableSlots; ++slot) t.vars.push_back(Var(in, slot));
  t.names = in.names;
  t.lines_run = in.lines_run;
  return t;
}

void ExpectSameTrace(const Trace& a, const Trace& b, const std::string& what) {
  EXPECT_EQ(a.result.end.reason, b.result.end.reason) << what;
  EXPECT_EQ(a.result.line, b.result.line) << what;
  EXPECT_EQ(a.result.end.why, b.result.end.why) << what;
  EXPECT_EQ(a.result.console, b.result.console) << what;
  EXPECT_EQ(Joined(a.result.speech), Joined(b.result.speech)) << what;
  EXPECT_EQ(a.vars, b.vars) << what;
  EXPECT_EQ(a.names, b.names) << what;
  EXPECT_EQ(a.lines_run, b.lines_run) << what;
}

// The loops at their edges: 32-bit wrap-around, texts and numbers too big
// that leave the quick way, failures within a pass, names first met in a
// loop, DESVIA out of a loop, nested and expression-tested loops. (Two
// REPETE loops do not nest: the outer FIM REPETE steps the inner one.)
const char* const kLoops[] = {
    "seja $c 2147483640\nenquanto $c > 5\n  soma $c 1\nfim enquanto\nescreve $c\n",
    "seja a 0\nseja b \"x5\"\nenquanto a < 1500\n  soma a 2\n  soma b 1\nfim enquanto\nescreve a b\n",
    "seja a 0\nseja b 99999999999\nenquanto a < 10\n  soma a 1\n  soma b 1\nfim enquanto\n",
    "seja a 0\nseja b 1\nenquanto a < 2000\n  soma a b\n  soma a 1\nfim enquanto\nescreve a\n",
    "seja a 0\nenquanto a <= 900\n  soma a 1\n  soma b c\nfim enquanto\nescreve a b\n",
    "seja c 0\nrepete i 2147483647\n  se i = 1 seja i 2147483640\n  soma c 1\nfim repete\nescreve c i\nsoma i 1\n",
    "seja a 0\nenquanto 1 = 1\n  soma a 1\n  se a = 700 desvia @out\nfim enquanto\n@out\nescreve a\n",
    "seja c 0\nseja i 0\nenquanto i < 40\n  soma i 1\n  repete j 30\n    soma c 1\n  fim repete\nfim enquanto\n"
    "escreve c i j\n",
    "enquanto $x < 1200\n  soma $y 2\n  soma $x 1\nfim enquanto\nescreve $x $y\n",
    "seja a -5\nenquanto a < 3\n  soma a 1\nfim enquanto\nseja k 0\nrepete i 3000\n"
    "  se (i/1000*1000) = i concatena t \"x\"\n  se (k-1) < 0 soma k 1\nfim repete\nescreve a t k\n",
    "seja a 0\nrepete i 2000\n  soma a 1\n  se i = 1500 divide a (i-i)\nfim repete\n",
    "seja a 0\nrepete i 1200\n  se (a/(1000-i)) > 5 soma a 1\nfim repete\n",
    "seja n 3\nseja a 0\nrepete i n\n  soma a 1\n  se i = 2 seja n \"x\"\nfim repete\n",
    "seja a 0\nenquanto a < 2500\n  soma a 1\n  se a = 1200 soma $novo 1\nfim enquanto\nescreve a $novo\n",
    // Passes of REPETE loops whose one-line SE tests a variable under
    // operators on literals: names first met in the test, results below
    // zero, 64-bit wrap-around, a written zero or -1 as divisor, a counter
    // turned to text within a pass.
    "seja c 0\nrepete i 3000\n  soma c 1\n  se (i/7*7) = i soma d 1\nfim repete\nescreve c d i\n",
    "repete i 1500\n  se ($n*2+1) > 2000 soma a 1\n  soma $n 1\nfim repete\nescreve a $n\n",
    "repete i 2100\n  se (i-1000) < 5 soma a 1\n  se (i*1000000*1000000-7) > 9 soma b 1\nfim repete\nescreve a b\n",
    "repete i 1300\n  se (i/4294967295) > 1 soma a 1\n  se i = 1250 se (i/0) = 1 soma b 1\nfim repete\n",
    "repete i 2000\n  soma c 1\n  se (i+0) = 1999 seja i \"x\"\nfim repete\nescreve c\n",
    // A block never entered: its lines are never decoded, so the loop never
    // runs as whole passes and goes on one line at a time.
    "seja a 0\nenquanto a < 1500\n  soma a 1\n  se a = 99999\n    soma b 1\n  fim se\nfim enquanto\nescreve a b\n",
};

TEST(QuickLines, LoopsAtTheirEdgesEndAsTheDecodedLinesAndTheHandlersEndThem) {
  for (const char* script : kLoops) {
    for (int64_t budget : {1, 2, 4, 5, 1023, 1024, 1025, 2048, 3001, 100000}) {
      std::string what = std::string(script) + "budget " + std::to_string(budget);
      Trace quick = RunWay(script, Way::kQuick, budget);
      ExpectSameTrace(quick, RunWay(script, Way::kDecoded, budget), what);
      ExpectSameTrace(quick, RunWay(script, Way::kByText, budget), what);
    }
  }
}

// Loops run as whole passes, and the results are the loops'.
TEST(QuickLines, LoopsRunAsWholePasses) {
  InterpreterState in;
  Trace t = RunWay("seja a 0\nenquanto a < 5000\n  soma a 1\n  soma b 2\nfim enquanto\n", Way::kQuick, 0, &in);
  EXPECT_EQ(t.result.end.reason, EndReason::kNormal);
  EXPECT_EQ(t.vars[0], "5000");
  EXPECT_EQ(t.vars[1], "10000");
  EXPECT_EQ(t.lines_run, 1 + 5000 * 4 + 1);
  ASSERT_GT(in.index.quick.steps.size(), 2u);
  EXPECT_EQ(in.index.quick.steps[2].pass_lines, 4);

  // A REPETE loop with a one-line SE: its FIM REPETE runs the passes (the
  // body's two lines and itself), the SE's test as a chain.
  InterpreterState r;
  t = RunWay("repete i 3000\n  soma c 1\n  se (i/1000*1000) = i soma d 1\nfim repete\n", Way::kQuick, 0, &r);
  EXPECT_EQ(t.vars[2] + " " + t.vars[3], "3000 3");
  ASSERT_EQ(r.index.quick.steps.size(), 5u);
  EXPECT_EQ(r.index.quick.steps[4].pass_lines, 3);
  EXPECT_EQ(r.index.quick.steps[3].a.kind, QuickArg::Kind::kChain);
}

}  // namespace
}  // namespace kal::test
