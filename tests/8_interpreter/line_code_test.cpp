// Decoded stored lines against the handlers they stand in for: every
// script here runs twice, once with the lines decoded and once with every
// line read by its handler from the text, and both runs must write, say and
// end alike. The scripts aim at the places where a decoded line could part
// from its handler: numbers kept as numbers and their text, literals that
// look like numbers, names created when read, failures part-way through a
// line, and decoded lines whose store has changed.
#include <gtest/gtest.h>

#include <filesystem>

#include "1_platform/event_loop.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

ScriptResult RunDecoded(const std::string& script, bool decoded) {
  Limits().decode_lines = decoded;
  ScriptResult r = RunScriptText(script, "\r");
  Limits().decode_lines = true;
  return r;
}

// Runs the script both ways; returns the decoded run's console text.
std::string Same(const std::string& script) {
  ScriptResult a = RunDecoded(script, true);
  ScriptResult b = RunDecoded(script, false);
  EXPECT_EQ(a.console, b.console) << script;
  EXPECT_EQ(Joined(a.speech), Joined(b.speech)) << script;
  EXPECT_EQ(a.outcome, b.outcome) << script;
  EXPECT_EQ(a.line, b.line) << script;
  return a.console;
}

// SOMA counts on the numeric end of any text; values that look like
// numbers but are not plain decimal keep their form until arithmetic
// writes them.
TEST(LineCode, SomaOnTextsThatLookLikeNumbers) {
  EXPECT_EQ(Same("seja a \"007\"\nsoma a 1\nescreve a\n"
                 "seja b \"-0\"\nsoma b 1\nescreve b\n"
                 "seja c \"1e3\"\nsoma c 1\nescreve c\n"
                 "seja d \"x-3\"\nsoma d 5\nescreve d\n"
                 "seja e \"abc-\"\nsoma e 1\nescreve e\n"
                 "seja f \"\"\nsoma f -5\nescreve f\n"
                 "seja g 2147483647\nsoma g 1\nescreve g\n"
                 "seja h \"item9\"\nsoma h 1\nescreve h\n"),
            "8\n1\n1e4\nx2\nabc1\n-5\n-2147483648\nitem10\n");
  Same("seja h \"item9\"\nsoma h h\n");  // the operand must be a number
  Same("seja a \"99999999999\"\nsoma a 1\n");  // a suffix beyond 32 bits fails
  Same("seja a 5\nsoma a \"abc\"\n");
  Same("seja a 5\nsoma a \" 7\"\nescreve a\n");
  Same("seja a 5\nsoma a (a*2) resto\nescreve a\n");
}

TEST(LineCode, ArithmeticAndItsFailures) {
  EXPECT_EQ(Same("seja a 7\ndivide a -2\nescreve a\n"
                 "seja b -2147483648\ndivide b -1\nescreve b\n"
                 "seja c 65536\nmultiplica c 65536\nescreve c\n"
                 "seja d -2147483648\nsubtrai d 1\nescreve d\n"),
            "-3\n-2147483648\n0\n2147483647\n");
  Same("seja a 7\ndivide a 0\n");
  Same("seja a \"1e3\"\nsubtrai a 1\n");
  Same("seja a 7\nsubtrai a 1 2\nescreve a\n");  // assigned, then the line fails
  Same("seja a \"$10\"\nsubtrai a 1\nescreve a\n");
  Same("seja a \" 12\"\nmultiplica a 2\nescreve a\n");
  Same("seja a 3\nsubtrai a (a-)\n");
}

// A value kept as a number shows as plain decimal text wherever a text is
// read, and goes on counting as a number.
TEST(LineCode, NumbersKeptAsNumbersReadAsTheirText) {
  EXPECT_EQ(Same("seja a 9\nsoma a 1\nconcatena a \"x\"\nescreve a\n"
                 "seja b 0\nsubtrai b 1\nescreve b \"|\" (b*3)\n"
                 "seja c (2*3)\nseja d c\nsoma d 1\nescreve c d\n"
                 "seja e 5\nsoma e 5\nse e == \"10\" escreve \"exato\"\n"
                 "seja f 41\nsoma f 1\ncopia g f 2 2\nescreve g\n"
                 "seja h 12\nsoma h 0\nconcatena h h\nescreve h\n"),
            "10x\n-1|-3\n67\nexato\n2\n1212\n");
}

TEST(LineCode, ConditionsCompareAsTheirTexts) {
  std::string script =
      "seja n 0\nsubtrai n 1\n"
      "se n < -10 escreve \"1\"\n"  // -1 before -10: the shorter first
      "se -5 < 3 escreve \"2\"\n"
      "se 10 > 9 escreve \"3\"\n"
      "se 007 = 7 escreve \"4\"\n"
      "se \"\" = 0 escreve \"nao\"\n"
      "se 0 = 00 escreve \"5\"\n"
      "se 12345678901234567890123 = 2345678901234567890123 escreve \"6\"\n"
      "se 99999999999999999999 > 9 escreve \"7\"\n"
      "seja a 10\nsoma a 0\nse a >= 10 escreve \"8\"\n"
      "se a <> 010 escreve \"nao\"\n"
      "se \"abc\" = \"ABC\" escreve \"9\"\n"
      "se \"abc\" == \"ABC\" escreve \"nao\"\n"
      "seja s \"abcde\"\nse s *= \"de\" escreve \"a\"\n"
      "se s =* \"ab\" escreve \"b\"\nse s *=* \"\" escreve \"nao\"\n"
      "se nao 1 = 2 escreve \"c\"\nse NÃO 1 = 1 escreve \"nao\"\n"
      "se (5-10) > (0-1) escreve \"d\"\n";
  EXPECT_EQ(Same(script), "1\n2\n3\n4\n5\n6\n7\n8\n9\na\nb\nc\nd\n");
  Same("se 1 = 1 repete i 3\n");   // refused after a condition
  Same("se 1 = 2 fim se\nescreve \"x\"\n");
  Same("se 1 = (2/0) escreve \"x\"\n");
  Same("se $novo = \"\" escreve \"vazio\"\nescreve $novo \"|\"\n");
  Same("se 1 = 1\nescreve \"a\"\nsenao\nescreve \"b\"\nfim se\nse 1 = 2\nescreve \"c\"\nsenão\nescreve \"d\"\nfim se\n");
}

// The command of a one-line SE runs as a line within the line: block words
// refused, comments passing, unknown words failing, lines within it nesting.
TEST(LineCode, CommandsAfterAConditionRunAsLinesWithinTheLine) {
  EXPECT_EQ(Same("seja a 1\nse 1 = 1 soma a 1\nse a = 2 se 1 = 1 escreve \"dois\" a\n"
                 "se 1 = 1 * nada\nse 1 = 1 @nada\nse a = 2 desvia @fim\nescreve \"nunca\"\n@fim\n"
                 "se 1 = 1 seja $n = (a*10)\nescreve $n\n"),
            "dois2\n20\n");
  Same("se 1 = 1 fim se\n");
  Same("se 1 = 1 enquanto 1 = 1\n");
  Same("se 1 = 1 sen\xc3\xa3o\n");
  Same("se 1 = 1 xyz 1\n");
  Same("se 1 = 1 se 2 = 2 se 3 = 3 escreve \"tres\"\n");
  Same("se 1 = 1 debug\nse 1 = 1 soma a 1\nescreve a\n");
}

TEST(LineCode, LoopsStepAndEndAsTheirHandlersDo) {
  EXPECT_EQ(Same("repete i 3\nescreve i\nfim repete\nescreve i\n"
                 "repete r 0\nescreve \"nunca\"\nfim repete\nescreve r\n"
                 "seja n 2\nrepete j n\nsoma n 1\nse n > 4 seja n 0\nfim repete\nescreve j n\n"
                 "seja k 3\nenquanto k > 0\nsubtrai k 1\nescreve k\nfim enquanto\n"),
            "1\n2\n3\n4\n1\n40\n2\n1\n0\n");
  // The counter made a text ends the loop with a failure at its head.
  Same("repete i 3\nseja i \"x\"\nfim repete\n");
  Same("repete i \"abc\"\nfim repete\n");
  // Past 32 bits the counter is text that no longer reads as a number.
  EXPECT_EQ(Same("repete i 5\nseja i 2147483647\nfim repete\nescreve i\nse i > 2147483647 escreve \"maior\"\n"),
            "2147483648\nmaior\n");
  Same("repete i 5\nseja i 2147483647\nfim repete\nsoma i 1\n");
  Same("repete i 5\nseja i 2147483647\nfim repete\nescreve (i+1)\n");
  Same("fim repete\n");
  Same("fim enquanto\n");
  Same("fim para\nfim\n");
  Same("desvia @Fim\nescreve \"nunca\"\n@fim\nescreve \"aqui\"\n");
  Same("desvia @nada\n");
}

// Names are created when a line reads them, in the order it reads them,
// and the 102nd fails at the line that reads it.
TEST(LineCode, NamesAreCreatedWhenReadInOrder) {
  std::string script;
  for (int i = 1; i <= 100; ++i) script += "seja $v" + std::to_string(i) + " " + std::to_string(i) + "\n";
  Same(script + "seja $a ($b)\n");
  Same(script + "seja $a 1\nsoma $a ($b + 1)\n");
  Same(script + "se ($x) = 1 escreve \"a\"\n");
  Same(script + "seja q \"x\"\nseja $a (q + $b)\nescreve $a\n");
}

TEST(LineCode, TextCommands) {
  EXPECT_EQ(Same("seja a \"abcdef\"\ncopia b a 0 3\nescreve b\ncopia b a 5 2\nescreve \"[\" b \"]\"\n"
                 "copia b a \" 2 \" 3\nescreve b\ncopia a a 2 4\nescreve a\n"
                 "seja t \"x\"\nconcatena t t\nconcatena t \"\"\"\"\nescreve t\n"
                 "seja $u = \"o\"\"k\"\nescreve $u\nseja v = (1+2)\nescreve v\n"),
            "abcd\n[]\nbc\nbcd\nxx\"\no\"k\n3\n");
  Same("copia b a x 3\n");
  Same("concatena a \"x\" y\n");
  Same("seja a 1 2\n");
  Same("seja a =\n");
  Same("seja a tamanho \"abc\"\nescreve a\nseja b = crlf\nseja c \"crlf\"\nescreve c\n");
}

TEST(LineCode, WritingToAFileChannel) {
  TalvenSandbox box;
  std::filesystem::create_directories(box.drives() + "/c");
  std::string file = box.drives() + "/c/saida.txt";
  std::string script =
      "abre #1 \"c:\\saida.txt\" &\n"
      "seja n 41\nsoma n 1\n"
      "escreve #1 \"n=\" n (n*2) &\n"
      "escreve #1\n"
      "escreve #1 \"x\" \"y\"\n"
      "checa s\nfecha #1\nescreve s\n";
  ScriptResult a = RunDecoded(script, true);
  std::string decoded_file = ReadFileBytes(file);
  std::filesystem::remove(file);
  ScriptResult b = RunDecoded(script, false);
  EXPECT_EQ(decoded_file, ReadFileBytes(file));
  EXPECT_EQ(decoded_file, "n=4284\r\nxy\r\n");
  EXPECT_EQ(a.console, b.console);
  // Text that is not an operand fails the line after the writing.
  Same("abre #1 \"c:\\saida.txt\" &\nescreve #1 \"x\" +1\n");
  Same("escreve #3 \"x\"\n");  // not open
}

// Decoded lines belong to the store they were decoded from: storing again
// (the same numbers, other texts) runs the new texts.
TEST(LineCode, StoringAgainDropsTheDecodedLines) {
  SetLoop(MakeFakeEventLoop());
  ResetInterpreter();
  auto run = [&](std::vector<std::string> lines) {
    int n = 0;
    for (const auto& l : lines) StoreLine(l, ++n);
    RunScript();
    return Var(1);
  };
  EXPECT_EQ(run({"seja a 1", "repete i 3", "soma a 1", "fim repete"}), "4");
  EXPECT_EQ(run({"seja a 1", "repete i 2", "soma a 10", "fim repete"}), "21");
  // The loop's head moved: FIM REPETE finds the new one.
  EXPECT_EQ(run({"repete j 2", "seja a 0", "repete i 3", "soma a 1", "fim repete"}), "3");
  EXPECT_EQ(run({"seja a 0", "desvia @b", "@a", "seja a 5", "@b", "soma a 1"}), "1");
  EXPECT_EQ(run({"seja a 0", "desvia @b", "@b", "seja a 5", "@a", "soma a 1"}), "6");
}

}  // namespace
}  // namespace kal::test
