// The dispatcher and the command table. DEBUG is tested by the scripts
// under tests/scripts/debug/.
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

}  // namespace kal::test
