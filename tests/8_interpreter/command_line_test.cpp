#include "8_interpreter/command_line.h"

#include <gtest/gtest.h>

namespace kal {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsProgramFromParameters) {
  auto a = SplitCommandLine("c:\\ferlan\\quiral.exe /L c:\\rel.txt");
  EXPECT_EQ(a.program, "c:\\ferlan\\quiral.exe");
  EXPECT_EQ(a.params, "/L c:\\rel.txt");
  auto b = SplitCommandLine("\"c:\\program files\\x.exe\"   -a  ");
  EXPECT_EQ(b.program, "c:\\program files\\x.exe");
  EXPECT_EQ(b.params, "-a");
  auto c = SplitCommandLine("\"c:\\open ended");
  EXPECT_EQ(c.program, "c:\\open ended");
  EXPECT_EQ(c.params, "");
  auto d = SplitCommandLine("prog  two");
  EXPECT_EQ(d.params, " two");  // not trimmed after an unquoted program
  EXPECT_EQ(SplitCommandLine("p " + std::string(2000, 'x')).params.size(), kMaxParams);
}

TEST(CommandLine, SplitsArgumentsTheWindowsWay) {
  EXPECT_EQ(SplitArguments("-O \"c:\\a b.htm\" --user-agent=\"Moz (X; Y)\" --no-check-certificate http://x/?a=1"),
            (Args{"-O", "c:\\a b.htm", "--user-agent=Moz (X; Y)", "--no-check-certificate", "http://x/?a=1"}));
  EXPECT_EQ(SplitArguments("  a\t b  "), (Args{"a", "b"}));
  EXPECT_EQ(SplitArguments("\"\""), (Args{""}));
  EXPECT_EQ(SplitArguments("\"a\"\"b\""), (Args{"a\"b"}));
  EXPECT_EQ(SplitArguments("a\\\\\"b c\""), (Args{"a\\b c"}));
  EXPECT_EQ(SplitArguments("a\\\"b"), (Args{"a\"b"}));
  EXPECT_EQ(SplitArguments("c:\\dir\\x"), (Args{"c:\\dir\\x"}));
  EXPECT_EQ(SplitArguments(""), Args{});
}

TEST(CommandLine, RecognisesWindowsPathArguments) {
  EXPECT_TRUE(IsWindowsPathArgument("c:\\x"));
  EXPECT_TRUE(IsWindowsPathArgument("D:"));
  EXPECT_TRUE(IsWindowsPathArgument("sub\\file.txt"));
  EXPECT_FALSE(IsWindowsPathArgument("/L"));
  EXPECT_FALSE(IsWindowsPathArgument("http://a\\b"));
  EXPECT_FALSE(IsWindowsPathArgument("--x=1"));
}

}  // namespace
}  // namespace kal
