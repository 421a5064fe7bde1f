#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

// Whole scripts that end normally, fail or end the program are files under
// tests/scripts/run/.

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
