// LISTA and its sub-commands.
#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Lists, CreateAddSizeItem) {
  EXPECT_EQ(Out("lista [a] cria\nlista [a] tamanho n\nlista [a] adiciona \"x\"\nlista [a] adiciona \"\"\n"
                "lista [a] adiciona \"x\"\nlista [a] TAMANHO m\nlista [a] item 0 p\nlista [a] item 2 q\n"
                "escreve n m p q\n"),
            "03xx\n");
}

TEST(Lists, ItemOutOfRangeFails) {
  std::string s = "lista [a] cria\nlista [a] adiciona \"x\"\n";
  EXPECT_EQ(Out(s + "lista [a] item 0 v\nescreve v\n"), "x\n");
  EXPECT_EQ(FailLine(s + "lista [a] item 1 v\n"), 3);
  EXPECT_EQ(FailLine(s + "lista [a] item -1 v\n"), 3);
  EXPECT_EQ(FailLine(s + "lista [a] item \"z\" v\n"), 3);
}

TEST(Lists, DeleteRemovesTheFirstEqualItemIgnoringCase) {
  EXPECT_EQ(Out("lista [a] cria\nlista [a] adiciona \"Maria\"\nlista [a] adiciona \"maria\"\n"
                "lista [a] deleta \"MARIA\"\nlista [a] tamanho n\nlista [a] item 0 v\nescreve n v\n"),
            "1maria\n");
  EXPECT_EQ(FailLine("lista [a] cria\nlista [a] deleta \"x\"\n"), 2);
}

TEST(Lists, NamesAreExactAndSlotsAreReused) {
  EXPECT_EQ(Out("lista [A] cria\nlista [a] cria\nlista [a] apaga\nlista [a] cria\nlista [a] tamanho n\n"
                "escreve n\n"),
            "0\n");
  EXPECT_EQ(FailLine("lista [a] apaga\n"), 1);
  EXPECT_EQ(FailLine("lista [a] tamanho n\n"), 1);
  EXPECT_EQ(FailLine("lista [a] adiciona 1\n"), 1);
}

TEST(Lists, CreateTwiceAndTooMany) {
  auto r = RunScriptText("lista [a] cria\nlista [a] cria\n", "\n");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.console, "A lista especificada já existe\n2\n\n");
  std::string s;
  for (int i = 1; i <= 21; ++i) s += "lista [l" + std::to_string(i) + "] cria\n";
  r = RunScriptText(s, "\n");
  EXPECT_EQ(r.line, 21);
  EXPECT_EQ(r.speech[0], "say Muitas listas no programa (máximo 20)");
  EXPECT_EQ(Out(s.substr(0, s.rfind("lista")) + "lista [l3] apaga\nlista [novo] cria\n"), "");
}

TEST(Lists, MalformedLines) {
  EXPECT_EQ(FailLine("lista a cria\n"), 1);
  EXPECT_EQ(FailLine("lista [a] cria x\n"), 1);
  EXPECT_EQ(FailLine("lista [a] junta\n"), 1);
  EXPECT_EQ(FailLine("lista [a\n"), 1);
}

}  // namespace kal::test

namespace kal::test {

TEST(Lists, ARunawayListStopsWithAMessage) {
  auto r = RunScriptText("lista [a] cria\nrepete i 1000001\n  lista [a] adiciona i\nfim repete\nescreve \"x\"\n", "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 3);
  EXPECT_EQ(r.speech[0], "say Lista cheia (máximo 1000000 itens)");
}

}  // namespace kal::test
