// The reader of the expectation comments: a fault here would let script
// tests check less than they say.
#include "tests/support/script_expectations.h"

#include <gtest/gtest.h>

namespace kal::test {
namespace {

ScriptExpectations Parse(const std::vector<std::string>& lines) {
  ScriptExpectations e;
  std::string err;
  EXPECT_TRUE(ParseExpectations(lines, &e, &err)) << err;
  return e;
}

std::string ParseError(const std::vector<std::string>& lines) {
  ScriptExpectations e;
  std::string err;
  EXPECT_FALSE(ParseExpectations(lines, &e, &err));
  return err;
}

TEST(ScriptExpectations, ReadsEveryForm) {
  auto e = Parse({"* expect: a ", "escreve 1", "* expect:", "* expect unended: z",
                  "* expect speech: say a", "* expect exit: 2", "* expect error line 7",
                  "* params: um \"dois tres\"", "* keys: x{Enter}", "* keys: {F1}"});
  EXPECT_EQ(e.console, "a \n\nz");  // the blank after "a" is kept
  EXPECT_TRUE(e.check_speech);
  EXPECT_EQ(e.speech, std::vector<std::string>{"say a"});
  EXPECT_EQ(e.exit_code, 2);
  EXPECT_EQ(e.error_line, 7);
  EXPECT_EQ(e.params, (std::vector<std::string>{"um", "dois tres"}));
  EXPECT_EQ(e.keys, std::string("x\r\0;", 4));
}

TEST(ScriptExpectations, DefaultsAndLatin1Text) {
  auto e = Parse({"* um comentário", "*expect: not an expectation", "escreve 1"});
  EXPECT_EQ(e.console, "");
  EXPECT_FALSE(e.check_speech);
  EXPECT_FALSE(e.exit_code.has_value());
  EXPECT_EQ(e.keys, "\r");  // one Enter unless keys are given
  EXPECT_EQ(Parse({"* keys:"}).keys, "");
  EXPECT_TRUE(Parse({"* expect no speech"}).check_speech);
  // Script lines are Latin-1; expectations compare with UTF-8 output.
  EXPECT_EQ(Parse({"* expect: a\xE7\xE3o"}).console, "ação\n");
}

TEST(ScriptExpectations, MisspeltExpectationsAreErrors) {
  EXPECT_EQ(ParseError({"x", "* expect speach: say 1"}), "line 2: unknown expectation: * expect speach: say 1");
  EXPECT_NE(ParseError({"* expect error line x"}), "");
  EXPECT_NE(ParseError({"* expect exit: dois"}), "");
  EXPECT_NE(ParseError({"* params: \"aberto"}), "");
  EXPECT_NE(ParseError({"* keyz: a"}), "");
}

TEST(ScriptExpectations, KeyNotation) {
  std::string keys, err;
  EXPECT_TRUE(DecodeKeys("{{}{Esc}{Up}{F12}{x00}{xff}", &keys, &err)) << err;
  EXPECT_EQ(keys, std::string("{\x1b\0H\0\x86\0\xff", 8));
  keys.clear();
  EXPECT_FALSE(DecodeKeys("{Enterr}", &keys, &err));
  EXPECT_EQ(err, "unknown key {Enterr}");
  EXPECT_FALSE(DecodeKeys("a{Enter", &keys, &err));
}

}  // namespace
}  // namespace kal::test
