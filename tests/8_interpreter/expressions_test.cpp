// Expressions built from generated text: deep nesting and the name table
// filled. Whole scripts of expressions and of the conditions of SE are
// files under tests/scripts/expressions/ and tests/scripts/conditions/.
#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Expressions, DeepNestingFailsInsteadOfCrashing) {
  std::string deep(100000, '(');
  EXPECT_EQ(FailLine("escreve " + deep + "1\n"), 1);
  std::string minus(100000, '-');
  EXPECT_EQ(Out("escreve (" + minus + "3)\n"), "3\n");
}

// An expression reads its names left to right and stops at its first
// failure: a name before a malformed end is looked up (and, the table
// being full, refused: the reason said), one after a division by zero or a bad token
// never is. Text read once and a stored line's program agree on it.
TEST(Expressions, NamesAreLookedUpUpToTheFirstFailure) {
  std::string full;
  for (int i = 1; i <= 101; ++i) full += "seja $v" + std::to_string(i) + " 1\n";
  const std::string refused = "Muitas vari\xC3\xA1veis no programa (m\xC3\xA1ximo 101)";
  for (bool decoded : {true, false}) {
    for (std::string line : {"escreve ($x + )", "seja a ($x + )", "se ($x +) = 1 escreve 1", "escreve (1 + ($x)"}) {
      ScriptResult r = RunScriptDecoded(decoded, full + line + "\n", "\n");
      EXPECT_NE(r.console.find(refused), std::string::npos) << line;
      EXPECT_EQ(r.line, 102) << line;
    }
    for (std::string line : {"escreve (1/0 + $x)", "seja a (# $x)", "se (2*) = $x escreve 1", "seja a (1 $x)"}) {
      ScriptResult r = RunScriptDecoded(decoded, full + line + "\n", "\n");
      EXPECT_EQ(r.console.find(refused), std::string::npos) << line;
      EXPECT_EQ(r.line, 102) << line;
    }
  }
}

}  // namespace kal::test
