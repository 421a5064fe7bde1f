// The rules that a line's handler and its decoded form share, checked with
// explicit results in both ways of running a line: what is read before
// what (and so which names a failing line has created), values kept as
// numbers by one command and read by another, and lines within lines.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

const std::string kRefused = "Muitas vari\xC3\xA1veis no programa (m\xC3\xA1ximo 101)";

// Console text of a run that ends normally, run either way.
std::string OutIn(bool decoded, const std::string& script) {
  ScriptResult r = RunScriptDecoded(decoded, script, "\n");
  EXPECT_EQ(r.outcome, 0) << script;
  return r.console;
}

// The line at which a run failed, 0 when it ended normally.
int FailLineIn(bool decoded, const std::string& script) {
  ScriptResult r = RunScriptDecoded(decoded, script, "\n");
  return r.outcome == 0 ? 0 : r.line;
}

// 100 names taken: the next one is the last there is room for.
std::string HundredNames() {
  std::string script;
  for (int i = 1; i <= 100; ++i) script += "seja $v" + std::to_string(i) + " 1\n";
  return script;
}

// SUBTRAI, MULTIPLICA and DIVIDE read their variable as a number before
// the operand, SOMA reads the operand first: a name in the operand is
// created (here refused, the table being full) only where it is reached.
TEST(LineRules, ArithmeticReadsItsVariableBeforeOrAfterTheOperand) {
  for (bool decoded : {true, false}) {
    for (std::string word : {"subtrai", "multiplica", "divide"}) {
      ScriptResult r = RunScriptDecoded(decoded, HundredNames() + "seja $a \"x\"\n" + word + " $a $b\n", "\n");
      EXPECT_EQ(r.line, 102) << word << decoded;
      EXPECT_EQ(r.console.find(kRefused), std::string::npos) << word << decoded;
    }
    ScriptResult r = RunScriptDecoded(decoded, HundredNames() + "seja $a \"x\"\nsoma $a $b\n", "\n");
    EXPECT_EQ(r.line, 102) << decoded;
    EXPECT_EQ(r.console.find(kRefused), 0u) << decoded;
  }
}

// Results held as numbers read as their plain decimal by every other
// command, whichever way each line runs.
TEST(LineRules, NumbersHeldByArithmeticReadAsTheirText) {
  std::string script =
      "lista [l] cria\nlista [l] adiciona \"12\"\n"
      "seja n 6\nmultiplica n 2\nse n em [l] escreve \"em\"\n"
      "seja m n\ndivide m 4\nseja t \"v\"\nconcatena t m\ncopia u n 2 2\nescreve t u\n"
      "seja k 2147483647\nsoma k 1\nescreve k\nse k > 2147483647 escreve \"maior\"\n";
  for (bool decoded : {true, false}) {
    EXPECT_EQ(OutIn(decoded, script), "em\nv32\n-2147483648\n") << decoded;
  }
}

// SEJA holds a text that is the plain decimal of a number as that number;
// every command reads it as the text it was given. Texts that are not
// plain decimals (leading zeros, "-0", nineteen digits) stay texts.
TEST(LineRules, PlainDecimalsAssignedReadAsTheTextGiven) {
  std::string script =
      "seja a \"007\"\nseja b -0\nseja c 0\nseja d \"-12\"\nseja e 123456789012345678\n"
      "seja f 1234567890123456789\nseja g 2147483648\nseja h \"5\"\nseja i h\n"
      "escreve a \"|\" b \"|\" c \"|\" d \"|\" e \"|\" f \"|\" g \"|\" h \"|\" i\n"
      "soma a 1\nsoma b 1\nsoma d 1\nsoma h 1\nescreve a \"|\" b \"|\" d \"|\" h\n"
      "se g > 2147483647 escreve \"g maior\"\nse e > f escreve \"e maior\"\n"
      "se d < c escreve \"d menor\"\nse c = \"\" escreve \"c vazio\"\nse c == \"0\" escreve \"c zero\"\n"
      "seja j 99\nconcatena j \"x\"\ncopia k e 2 3\nescreve j \"|\" k\n"
      "seja m 2147483647\nmultiplica m 2\nseja n g\nconcatena n \"!\"\nescreve m \"|\" n\n"
      "seja p \"12\"\nlista [l] cria\nlista [l] adiciona \"12\"\nse p em [l] escreve \"p em l\"\n"
      "seja q 10\nse q < 9 escreve \"q menor\"\nse q > 9 escreve \"q maior\"\n"
      "seja r -5\nse r < -10 escreve \"r menor\"\n";
  for (bool decoded : {true, false}) {
    EXPECT_EQ(OutIn(decoded, script),
              "007|-0|0|-12|123456789012345678|1234567890123456789|2147483648|5|5\n"
              "8|1|-11|6\ng maior\nd menor\nc zero\n99x|23\n-2|2147483648!\np em l\nq maior\n")
        << decoded;
  }
}

// The command after a condition is a line within the line, however it is
// reached; chains of them end at a bound, said, instead of the stack.
TEST(LineRules, LinesWithinLinesNestUpToABound) {
  std::string deep;
  for (int i = 0; i < 250; ++i) deep += "se 1 = 1 ";
  for (bool decoded : {true, false}) {
    EXPECT_EQ(OutIn(decoded, "se 1 = 1 se 2 = 2 se 3 = 3 soma a 7\nescreve a\n"), "7\n") << decoded;
    ScriptResult r = RunScriptDecoded(decoded, deep + "escreve \"x\"\n", "\n");
    EXPECT_EQ(r.line, 1) << decoded;
    EXPECT_EQ(r.console.find("Excesso de comandos aninhados"), 0u) << decoded;
    EXPECT_EQ(FailLineIn(decoded, "se 1 = 1 repete i 2\n"), 1) << decoded;
  }
}

}  // namespace
}  // namespace kal::test
