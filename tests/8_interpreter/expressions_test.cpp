// Expressions in parentheses and the conditions of SE.
#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Expressions, PrecedenceGroupingAndUnaryMinus) {
  EXPECT_EQ(Out("escreve (2+3*4) \" \" ((2+3)*4) \" \" (--5) \" \" ( 10 - 2 - 3 )\n"), "14 20 5 5\n");
}

TEST(Expressions, DivisionTruncatesTowardZero) {
  EXPECT_EQ(Out("escreve (7/-2) \" \" (-7/2) \" \" (-(7)/2)\n"), "-3 -3 -3\n");
}

TEST(Expressions, VariablesMustBeNumbers) {
  EXPECT_EQ(Out("seja $a 10\nseja b 3\nescreve ($a - b*2)\n"), "4\n");
  EXPECT_EQ(Out("seja $x \"$10\"\nescreve ($x+1)\n"), "17\n");
  EXPECT_EQ(Out("seja $total_paginas 5\nescreve ($total_paginas - 1)\n"), "4\n");
  EXPECT_EQ(FailLine("seja $x \"abc\"\nescreve ($x+1)\n"), 2);
  EXPECT_EQ(FailLine("escreve ($vazio+1)\n"), 1);
}

TEST(Expressions, InvalidForms) {
  EXPECT_EQ(FailLine("escreve ()\n"), 1);
  EXPECT_EQ(FailLine("escreve (2*)\n"), 1);
  EXPECT_EQ(FailLine("escreve (2+)\n"), 1);
  EXPECT_EQ(FailLine("escreve (1 2)\n"), 1);
  EXPECT_EQ(FailLine("escreve (1+2\n"), 1);
  EXPECT_EQ(FailLine("escreve (1#2)\n"), 1);
}

TEST(Expressions, SixtyFourBitsWithThirtyTwoBitLiterals) {
  EXPECT_EQ(Out("escreve (2147483647*2)\n"), "4294967294\n");
  EXPECT_EQ(Out("escreve (4294967297)\n"), "1\n");  // the literal wraps in 32 bits
  EXPECT_EQ(Out("seja a -2147483648\nescreve (-a)\n"), "2147483648\n");
}

TEST(Expressions, DivisionByZeroFailsTheLine) {
  auto r = RunScriptText("seja z 0\nescreve (5/z)\n", "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 2);
}

TEST(Expressions, DeepNestingFailsInsteadOfCrashing) {
  std::string deep(100000, '(');
  EXPECT_EQ(FailLine("escreve " + deep + "1\n"), 1);
  std::string minus(100000, '-');
  EXPECT_EQ(Out("escreve (" + minus + "3)\n"), "3\n");
  EXPECT_EQ(Out("escreve ((((((((((1))))))))))\n"), "1\n");
}

// An expression reads its names left to right and stops at its first
// failure: a name before a malformed end is looked up (and, the table
// being full, refused aloud), one after a division by zero or a bad token
// never is. Text read once and a stored line's program agree on it.
TEST(Expressions, NamesAreLookedUpUpToTheFirstFailure) {
  std::string full;
  for (int i = 1; i <= 101; ++i) full += "seja $v" + std::to_string(i) + " 1\n";
  const std::string refused = "Muitas vari\xC3\xA1veis no programa (m\xC3\xA1ximo 101)";
  for (bool decoded : {true, false}) {
    LineDecoding decoding(decoded);
    for (std::string line : {"escreve ($x + )", "seja a ($x + )", "se ($x +) = 1 escreve 1", "escreve (1 + ($x)"}) {
      ScriptResult r = RunScriptText(full + line + "\n", "\n");
      EXPECT_EQ(r.console.find(refused), 0u) << line;
      EXPECT_EQ(r.line, 102) << line;
    }
    for (std::string line : {"escreve (1/0 + $x)", "seja a (# $x)", "se (2*) = $x escreve 1", "seja a (1 $x)"}) {
      ScriptResult r = RunScriptText(full + line + "\n", "\n");
      EXPECT_EQ(r.console.find(refused), std::string::npos) << line;
      EXPECT_EQ(r.line, 102) << line;
    }
  }
}

TEST(Conditions, PaddedNumbersAndTextOrder) {
  EXPECT_EQ(Out("se 10 > 9 escreve 1\nse -1 < -10 escreve 2\nse -5 < 3 escreve 3\nse 9 >= 10 escreve 4\n"),
            "1\n2\n3\n");
  EXPECT_EQ(Out("se 0 = 00 escreve 1\nse \"\" = 0 escreve 2\nse \"\" = 00 escreve 3\nse \"\" <> 0 escreve 4\n"),
            "1\n4\n");
  EXPECT_EQ(Out("se 1234567890123456789012 = 234567890123456789012 escreve \"longo\"\n"), "longo\n");
}

TEST(Conditions, CaseAndExactEquality) {
  EXPECT_EQ(Out("se \"abc\" = \"ABC\" escreve 1\nse \"abc\" == \"ABC\" escreve 2\nse \"ção\" = \"ÇÃO\" escreve 3\n"),
            "1\n3\n");
  EXPECT_EQ(Out("se 007 == 7 escreve 1\nse 007 = 7 escreve 2\n"), "2\n");
}

TEST(Conditions, Negation) {
  EXPECT_EQ(Out("se nao 1 = 2 escreve 1\nse NÃO 1 = 2 escreve 2\nse não 1 = 1 escreve 3\n"), "1\n2\n");
  EXPECT_EQ(FailLine("se nao\n"), 1);
}

TEST(Conditions, ContainsBeginsEnds) {
  EXPECT_EQ(Out("seja $s \"abcde\"\nse $s *= \"de\" escreve 1\nse $s =* \"ab\" escreve 2\n"
                "se $s *=* \"cd\" escreve 3\nse $s *=* \"\" escreve 4\nse $s =* \"\" escreve 5\n"),
            "1\n2\n3\n");
  EXPECT_EQ(Out("seja $s \"dede\"\nse $s *= \"de\" escreve 1\nseja $s \"d\"\nse $s *= \"de\" escreve 2\n"), "");
  EXPECT_EQ(Out("se \"ABC\" *=* \"b\" escreve 1\n"), "");  // case-sensitive
}

TEST(Conditions, EmOverLists) {
  EXPECT_EQ(Out("lista [nomes] cria\nse x em [nomes] escreve 1\nse nao x em [nomes] escreve 2\n"
                "lista [nomes] adiciona \"Maria\"\nlista [nomes] adiciona 7\n"
                "se \"MARIA\" em [nomes] escreve 3\nse 007 Em [nomes] escreve 4\n"),
            "2\n3\n4\n");
  EXPECT_EQ(FailLine("se x em [ninguem] escreve 1\n"), 1);
}

TEST(Conditions, MalformedConditionsFail) {
  EXPECT_EQ(FailLine("se 1\n"), 1);
  EXPECT_EQ(FailLine("se 1 ! 2\n"), 1);
  EXPECT_EQ(FailLine("se 1 =\n"), 1);
  EXPECT_EQ(FailLine("se\n"), 1);
}

TEST(Conditions, RestAfterTheConditionIsTheCommand) {
  EXPECT_EQ(Out("seja a 1\nse a = 1 escreve a\nse a=1 escreve \"junto\"\nse a = 2 xyz qualquer\n"), "1\njunto\n");
}

}  // namespace kal::test
