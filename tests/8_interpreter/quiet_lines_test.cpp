// Quiet decoded lines (LineCode::quiet), which the run loop runs straight
// from the table of decoded lines without looking at the stop request after
// each: which lines are quiet, and that a run of them ends, fails, counts
// its lines and spends a line budget exactly as the lines read from their
// text do.
#include <gtest/gtest.h>

#include <string>

#include "1_platform/event_loop.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/state.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

bool Quiet(const std::string& word, const std::string& args) {
  InterpreterState in;
  StoreLine(in, word + " " + args, 1);
  LineCode code;
  DecodeLine(in, 1, word, args, &code);
  return code.quiet;
}

// Lines whose success can only change variables and the current line are
// quiet; lines that write, run a handler, or pass over a block (whose SE
// heads are evaluated then) are not; neither are lines left to a handler.
TEST(QuietLines, OnlyLinesThatCannotWaitOrSpeakAreQuiet) {
  EXPECT_TRUE(Quiet("SEJA", "a 1"));
  EXPECT_TRUE(Quiet("SOMA", "$i 1"));
  EXPECT_TRUE(Quiet("DIVIDE", "a b"));
  EXPECT_TRUE(Quiet("CONCATENA", "t \"x\""));
  EXPECT_TRUE(Quiet("COPIA", "a b 1 2"));
  EXPECT_TRUE(Quiet("ENQUANTO", "a < 10"));
  EXPECT_TRUE(Quiet("DESVIA", "@fim"));
  EXPECT_TRUE(Quiet("SE", "a = 1 soma b 1"));
  EXPECT_TRUE(Quiet("SE", "a = 1 * a comment"));
  // Lines within lines are decoded one level deep: the inner SE's command
  // runs from its text.
  EXPECT_FALSE(Quiet("SE", "a = 1 se b = 2 soma c 1"));
  EXPECT_FALSE(Quiet("SE", "a = 1"));  // a block
  EXPECT_FALSE(Quiet("SE", "a = 1 escreve \"x\""));
  EXPECT_FALSE(Quiet("SE", "a = 1 fim"));  // refused within a line
  EXPECT_FALSE(Quiet("ESCREVE", "#1 a"));
  EXPECT_FALSE(Quiet("ESCREVE", "a"));
  EXPECT_FALSE(Quiet("SEJA", "a tempo"));  // a built-in value: the handler
  EXPECT_FALSE(Quiet("SOMA", "a"));        // fails: the handler says so
}

struct Counted {
  ScriptResult result;
  int64_t lines_run;
  std::string a;
};

Counted RunCounted(const std::string& script, bool decoded, int64_t max_lines = 0) {
  InterpreterState in;
  in.limits.decode_lines = decoded;
  in.limits.max_lines = max_lines;
  Counted c;
  c.result = RunScriptIn(in, script, "\r");
  c.lines_run = in.lines_run;
  c.a = Var(in, 1);
  return c;
}

// Runs the script both ways: the same end, line, text, speech, lines run
// and variable A.
void ExpectSame(const std::string& script, int64_t max_lines = 0) {
  Counted d = RunCounted(script, true, max_lines), t = RunCounted(script, false, max_lines);
  EXPECT_EQ(d.result.end.reason, t.result.end.reason) << script;
  EXPECT_EQ(d.result.line, t.result.line) << script;
  EXPECT_EQ(d.result.console, t.result.console) << script;
  EXPECT_EQ(Joined(d.result.speech), Joined(t.result.speech)) << script;
  EXPECT_EQ(d.lines_run, t.lines_run) << script;
  EXPECT_EQ(d.a, t.a) << script;
}

// A budget ends a run of quiet lines at the same line, with the same count,
// whether it runs out within the first look at the input or long after;
// the count goes on from the lines run before the budget was given.
TEST(QuietLines, ALineBudgetEndsThemAsItEndsLinesReadFromText) {
  const std::string forever = "seja a 0\nenquanto 1 = 1\n  soma a 1\nfim enquanto\n";
  for (int64_t budget : {1, 2, 3, 5, 1023, 1024, 1025, 3000, 4097}) ExpectSame(forever, budget);
  Counted c = RunCounted(forever, true, 3000);
  EXPECT_EQ(c.lines_run, 3000);
  EXPECT_EQ(c.a, "1000");  // SEJA, 999 passes, then ENQUANTO and SOMA
  EXPECT_EQ(c.result.end.reason, EndReason::kNormal);
}

// A quiet line that fails ends the run there, counted, with its message;
// quiet and other lines mixed hand over to each other both ways.
TEST(QuietLines, AFailureAmongThemEndsTheRunAtThatLine) {
  ExpectSame("seja a 0\nrepete i 1500\n  soma a 1\nfim repete\nseja b 0\ndivide a b\nseja a 7\n");
  ExpectSame("seja a 1\nrepete i 2000\n  soma a 1\n  se i = 1900 soma a q\nfim repete\n");
  ExpectSame("seja a 0\nrepete i 1200\n  soma a 1\n  se i = 600 escreve a\n  * a comment\nfim repete\nescreve a\n");
  Counted c = RunCounted("seja a 0\nrepete i 1500\n  soma a 1\nfim repete\nseja b 0\ndivide a b\nseja a 7\n", true);
  EXPECT_EQ(c.result.end.reason, EndReason::kFailed);
  EXPECT_EQ(c.result.line, 6);
  EXPECT_EQ(c.lines_run, 2 + 1500 * 2 + 2);
}

// DEBUG, turned on by a line within a loop of quiet lines, echoes the
// lines after it: the loop no longer runs them straight from the table.
TEST(QuietLines, DebugTurnedOnWithinTheLoopEchoesTheLinesAfterIt) {
  ExpectSame("seja a 0\nrepete i 3\n  soma a 1\n  se i = 2 debug\nfim repete\ndebug -\n");
  Counted c = RunCounted("seja a 0\nrepete i 3\n  soma a 1\n  se i = 2 debug\nfim repete\ndebug -\n", true);
  EXPECT_NE(c.result.console.find("SOMA a 1"), std::string::npos) << c.result.console;
}

}  // namespace
}  // namespace kal::test
