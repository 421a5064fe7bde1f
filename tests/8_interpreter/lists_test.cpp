// LISTA: the limit on lists, built from generated scripts. Whole scripts
// of LISTA are files under tests/scripts/lists/.
#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Lists, TwentyListsAtMost) {
  std::string s;
  for (int i = 1; i <= 21; ++i) s += "lista [l" + std::to_string(i) + "] cria\n";
  auto r = RunScriptText(s, "\n");
  EXPECT_EQ(r.line, 21);
  EXPECT_EQ(r.speech[0], "say Muitas listas no programa (máximo 20)");
  EXPECT_EQ(Out(s.substr(0, s.rfind("lista")) + "lista [l3] apaga\nlista [novo] cria\n"), "");
}

}  // namespace kal::test
