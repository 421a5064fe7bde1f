#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Run, EndsNormallyAndSpeaksTheEnd) {
  auto r = RunScriptText("* comentário\n\n@rotulo\nescreve \"olá\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(r.console, "olá\n");
  EXPECT_EQ(Joined(r.speech), "say olá\nsay Fim do script\n");
}

TEST(Run, FailingLineIsReportedAndWaitsForEnter) {
  auto r = RunScriptText("escreve \"a\"\nxyz\nescreve \"b\"\n", "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(Joined(r.speech), "say a\nsay Comando inválido: XYZ\nsay Erro de execução na linha \nsay 2\n");
}

TEST(Run, EndOfInputWhileWaitingEndsTheProgram) {
  auto r = RunScriptText("xyz\n", "");
  EXPECT_EQ(r.exit_code, 2);
}

TEST(Run, EmptyStoreEndsAtOnce) {
  auto r = RunScriptText("");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(Joined(r.speech), "say Fim do script\n");
}

}  // namespace kal::test

#include "8_interpreter/interpreter.h"

namespace kal::test {

TEST(Run, StoreTakesLinesOneToFiveThousand) {
  ResetInterpreter();
  EXPECT_FALSE(StoreLine("escreve 1", 0));
  EXPECT_FALSE(StoreLine("escreve 1", 5001));
  EXPECT_TRUE(StoreLine("escreve 1", 5000));
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
