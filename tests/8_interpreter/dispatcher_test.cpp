// The dispatcher, the command table and DEBUG.
#include <gtest/gtest.h>

#include "8_interpreter/command_table.h"
#include "tests/support/script_harness.h"

namespace kal::test {

// Each word is found at its own entry (a word written twice would shadow
// the later entry); accented words are found as their Latin-1 bytes, and
// lookup takes the word already upper-cased.
TEST(Dispatcher, FindsEveryWordAtItsEntry) {
  for (int i = 0; i < kCommandCount; ++i) EXPECT_EQ(FindCommand(kCommandTable[i].word), i);
  EXPECT_GE(FindCommand("T\xCDTULO"), 0);
  EXPECT_GE(FindCommand("L\xCA"), 0);
  EXPECT_EQ(FindCommand("escreve"), -1);
}

TEST(Debug, EchoesEveryCommand) {
  auto r = RunScriptText("debug\nseja $a 1\ndebug n\nescreve $a\ndebug Nao\nescreve 2\n");
  EXPECT_EQ(r.console, "Debug ligado\nSEJA $a 1\nDEBUG n\nDebug ligado\nESCREVE $a\n1\nDEBUG Nao\nDebug desligado\n2\n");
}

TEST(Debug, SwitchesOff) {
  auto r = RunScriptText("debug sim\ndebug -\nescreve 1\ndebug\ndebug N\nescreve 2\n");
  EXPECT_EQ(r.console, "Debug ligado\nDEBUG -\nDebug desligado\n1\nDebug ligado\nDEBUG N\nDebug desligado\n2\n");
}

TEST(Debug, EchoesNestedCommandsAndUnknownWords) {
  auto r = RunScriptText("debug\nse 1 = 1 xyz\n", "\n");
  EXPECT_EQ(r.console, "Debug ligado\nSE 1 = 1 xyz\nXYZ \nComando inválido: XYZ\n2\n\n");
}

}  // namespace kal::test
