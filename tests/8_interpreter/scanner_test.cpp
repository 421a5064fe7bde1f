// The operand readers, and lines built from generated text. Whole scripts
// of the language are files under tests/scripts/language/.
#include <gtest/gtest.h>

#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Scanner, VariableRefNeedsAFreeStandingLetter) {
  std::string_view args = "x=1";
  InterpreterState in;
  int slot = 0;
  ASSERT_TRUE(ReadVariableRef(in, &args, &slot));
  EXPECT_EQ(slot, 24);
  EXPECT_EQ(args, "=1");
  args = "xy 1";
  EXPECT_FALSE(ReadVariableRef(in, &args, &slot));
  args = "x1";
  EXPECT_FALSE(ReadVariableRef(in, &args, &slot));
  args = "x_";
  EXPECT_TRUE(ReadVariableRef(in, &args, &slot));
}

TEST(Scanner, ChannelReader) {
  int ch = -1;
  std::string_view args = "#1abc";
  EXPECT_FALSE(ReadChannel(&args, &ch));
  args = "#1   abc";
  ASSERT_TRUE(ReadChannel(&args, &ch));
  EXPECT_EQ(ch, 1);
  EXPECT_EQ(args, "abc");
  args = "#9";
  ASSERT_TRUE(ReadChannel(&args, &ch));
  EXPECT_EQ(ch, 9);
  args = "#x";
  EXPECT_FALSE(ReadChannel(&args, &ch));
  args = "1";
  EXPECT_FALSE(ReadChannel(&args, &ch));
}

TEST(Scanner, ListNameReader) {
  std::string name;
  std::string_view args = "[]] resto";
  ASSERT_TRUE(ReadListName(&args, &name));
  EXPECT_EQ(name, "]");
  EXPECT_EQ(args, " resto");
  args = "[abc";
  EXPECT_FALSE(ReadListName(&args, &name));
  args = "[a b]x";
  ASSERT_TRUE(ReadListName(&args, &name));
  EXPECT_EQ(name, "a b");
  EXPECT_EQ(args, "x");
  args = "[";
  EXPECT_FALSE(ReadListName(&args, &name));
}

TEST(Scanner, TooManyNamedVariablesFailsWithAMessage) {
  std::string script;
  for (int i = 1; i <= 101; ++i) script += "seja $v" + std::to_string(i) + " " + std::to_string(i) + "\n";
  script += "escreve $v101\nseja $v102 1\n";
  auto r = RunScriptText(script, "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 103);
  EXPECT_EQ(r.console, "101\nMuitas variáveis no programa (máximo 101)\n103\n\n");
  EXPECT_EQ(r.speech[1], "say Muitas variáveis no programa (máximo 101)");
}

}  // namespace kal::test

namespace kal::test {

// Hostile lines: very long, control bytes, unmatched quotes and
// parentheses. Each fails or runs quickly; none crashes.
TEST(Scanner, HugeAndMalformedLines) {
  const std::string mega(1 << 20, 'a');
  auto r = RunScriptText("seja $t \"" + mega + "\nseja n tamanho $t\nescreve n\n");
  EXPECT_EQ(r.console, "1048576\n");
  r = RunScriptText("escreve " + std::string(1 << 20, '(') + "\n", "\n");
  EXPECT_EQ(r.line, 1);
  r = RunScriptText("escreve (1" + std::string(1 << 20, ')') + "\n", "\n");
  EXPECT_EQ(r.line, 1);
  r = RunScriptText("se " + std::string(1 << 20, '"') + "\n", "\n");
  EXPECT_EQ(r.line, 1);
  std::string controls;
  for (int c = 0; c < 32; ++c) controls.push_back(static_cast<char>(c == '\n' ? 1 : c));
  r = RunScriptText("seja a \"" + controls + "\"\nseja n tamanho a\nescreve n\n" + controls + "\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(r.console, "32\n");
  r = RunScriptText("seja a palavra 2000000000 \"" + std::string(1 << 20, ' ') + "x\"\nescreve \"[\" a \"]\"\n");
  EXPECT_EQ(r.console, "[]\n");
}

}  // namespace kal::test
