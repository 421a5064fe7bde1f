#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

// Whole scripts that end normally, fail or end the program are files under
// tests/scripts/run/; the cases here look at the end the run returns.

// The end of input while a key is awaited ends the run there: the line
// after the wait does not run and nothing more is said; the end, with its
// exit code, goes back to the caller. During the wait for Enter after a
// failing line it outranks the failure.
TEST(Run, EndOfInputWhileWaitingEndsTheRunAndComesBackAsItsEnd) {
  auto r = RunScriptText("escreve \"a\"\nle tecla $t\nescreve \"b\"\n", "");
  EXPECT_EQ(r.end.reason, EndReason::kInputEnded);
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.console, "a\n");
  EXPECT_EQ(Joined(r.speech), "say a\n");
  r = RunScriptText("xyz\n", "");
  EXPECT_EQ(r.end.reason, EndReason::kInputEnded);
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.line, 1);
}

// The break key stops the run before its next line, without the spoken end.
TEST(Run, BreakKeyStopsTheRunWithTheInterruptCode) {
  auto r = RunScriptText("escreve \"a\"\nseja c 0\nenquanto 1 = 1\n  soma c 1\nfim enquanto\n", "\x1b[57362;5u");
  EXPECT_EQ(r.end.reason, EndReason::kInterrupted);
  EXPECT_EQ(r.exit_code, 130);
  EXPECT_EQ(r.speech.size(), 0u) << Joined(r.speech);
}

TEST(Run, NormalEndAndTerminaGiveExitCodeZero) {
  auto r = RunScriptText("escreve \"a\"\ntermina\nescreve \"b\"\n");
  EXPECT_EQ(r.end.reason, EndReason::kNormal);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.console, "a\n");
  r = RunScriptText("xyz\n", "\n");
  EXPECT_EQ(r.end.reason, EndReason::kFailed);
  EXPECT_EQ(r.exit_code, 1);
}

}  // namespace kal::test

#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"

namespace kal::test {

TEST(Run, StoreTakesLinesOneToFiveThousand) {
  InterpreterState in;
  EXPECT_FALSE(StoreLine(in, "escreve 1", 0));
  EXPECT_FALSE(StoreLine(in, "escreve 1", 5001));
  EXPECT_TRUE(StoreLine(in, "escreve 1", 5000));
}

TEST(Run, JumpToALabelOnTheLastOf337Lines) {
  std::string script = "desvia @fim\n";
  for (int i = 2; i < 337; ++i) script += "xyz\n";
  script += "@fim\n";
  auto r = RunScriptText(script);
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(r.line, 338);
  EXPECT_EQ(Joined(r.speech), "say Fim do script\n");
}

}  // namespace kal::test
