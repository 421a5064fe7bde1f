// The voices' shared rule-file reader: line ends, comments and the two line
// forms, on the edge cases the rule files of both voices contain.
#include "4_voices/rule_file.h"

#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace kal::rule_file {
namespace {

TEST(RuleFile, ReadsLinesWithEitherLineEndAndKeepsLatin1Bytes) {
  test::TempFolder dir;
  std::string path = dir / "regras.rgr";
  std::ofstream(path, std::ios::binary) << "a(b)c=d\r\n;nota\n\xE7(\xE3)=x\r\nfim";
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(path, &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"a(b)c=d", ";nota", "\xE7(\xE3)=x", "fim"}));
  EXPECT_FALSE(ReadLines(dir / "nao_existe.rgr", &lines));
}

TEST(RuleFile, ContextRuleFrameLimitsAndComments) {
  ContextRule r;
  ASSERT_TRUE(ParseContextRule("#(ch)e=x|comentario", 5, 11, &r));
  EXPECT_EQ(r.left, "#");
  EXPECT_EQ(r.focus, "ch");
  EXPECT_EQ(r.right, "e");
  EXPECT_EQ(r.output, "x");
  // The '=' is looked for after ')', so a context may not hold one but the
  // output may; contexts and output are cut to their limits.
  ASSERT_TRUE(ParseContextRule("abcdefg(h)ijklmn=a=b", 5, 3, &r));
  EXPECT_EQ(r.left, "abcde");
  EXPECT_EQ(r.right, "ijklm");
  EXPECT_EQ(r.output, "a=b");
  ASSERT_TRUE(ParseContextRule("(a)=", 5, 11, &r));
  EXPECT_EQ(r.output, "");
  EXPECT_FALSE(ParseContextRule(";(a)=b", 5, 11, &r));
  EXPECT_FALSE(ParseContextRule("()=b", 5, 11, &r));
  EXPECT_FALSE(ParseContextRule("(a=b", 5, 11, &r));
  EXPECT_FALSE(ParseContextRule("a)(b=c", 5, 11, &r));
  EXPECT_FALSE(ParseContextRule("", 5, 11, &r));
}

TEST(RuleFile, WordEntries) {
  WordEntry e = ParseWordEntry("quilo=kilo|peso");
  EXPECT_EQ(e.word, "quilo");
  EXPECT_EQ(e.replacement, "kilo");
  e = ParseWordEntry("sozinha");
  EXPECT_EQ(e.word, "sozinha");
  EXPECT_EQ(e.replacement, "");
  e = ParseWordEntry("a=b=c");
  EXPECT_EQ(e.replacement, "b=c");
  e = ParseWordEntry("=|x");
  EXPECT_EQ(e.word, "");
  EXPECT_EQ(e.replacement, "");
}

}  // namespace
}  // namespace kal::rule_file
