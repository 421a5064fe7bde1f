// SEJA and its built-in values, the arithmetic and the text commands.
#include <gtest/gtest.h>

#include "1_platform/event_loop.h"
#include "tests/support/script_harness.h"

namespace kal::test {

TEST(Seja, Palavra) {
  std::string text = "seja t \"um  dois tres\"\n";
  EXPECT_EQ(Out(text + "seja a palavra 2 t\nseja b palavra 4 t\nseja c palavra 1 t\nescreve a \"|\" b \"|\" c\n"),
            "dois||um\n");
  EXPECT_EQ(Out("seja a palavra 1 \" x\"\nescreve \"[\" a \"]\"\n"), "[]\n");
  EXPECT_EQ(FailLine(text + "seja a palavra 0 t\n"), 2);
  EXPECT_EQ(FailLine(text + "seja a palavra \"x\" t\n"), 2);
  EXPECT_EQ(Out(text + "seja a palavra 2000000000 t\nescreve \"[\" a \"]\"\n"), "[]\n");
}

TEST(Seja, ChrAndAsc) {
  EXPECT_EQ(Out("seja a chr \"#65\"\nseja b chr \"010#66\"\nseja c chr \"x#65\"\nseja d chr \"#0#59\"\n"
                "seja e chr \"210#65\"\nseja f chr \"#\"\nescreve a b c d e f \".\"\n"),
            "AB.\n");
  EXPECT_EQ(Out("seja a chr \"000#13\"\nseja b tamanho a\nseja c asc a\nescreve b c\n"), "1#13\n");
  EXPECT_EQ(Out("seja a asc \"A\"\nseja b asc \"AB\"\nseja c asc \"é\"\nescreve a \"|\" b \"|\" c\n"), "#65||#233\n");
}

TEST(Seja, RandIsRepeatableAndBounded) {
  std::string script = "repete i 20\n  seja r rand 10\n  se r < 0 termina\n  se r >= 10 termina\n  concatena s r\nfim repete\nescreve s\n";
  std::string first = Out(script);
  EXPECT_EQ(first.size(), 21u);
  EXPECT_EQ(Out(script), first);  // the same fixed seed in every run
  EXPECT_EQ(Out("seja a rand 0\nescreve a\n"), "0\n");
  EXPECT_EQ(FailLine("randomiza x\n"), 1);
  EXPECT_EQ(Out("randomiza\nseja a rand 1\nescreve a\n"), "0\n");
}

TEST(Seja, Params) {
  EXPECT_EQ(Out("seja p params\nescreve p\n"), "0\n");
  EXPECT_EQ(Out("seja p params\nescreve p\n", {"um", "dois tres"}), "2 um dois%20tres\n");
}

TEST(Seja, DateAndTimeValues) {
  static LocalTime t{2024, 3, 7, 4, 9, 5, 3, 25};  // a Thursday
  PinLocalTimeForTest(&t);
  EXPECT_EQ(Out("seja a data\nseja b hora\nseja c dia\nseja d tempo\nescreve a \" \" b \" \" c \" \" d\n"),
            "07/03/2024 09:05:03 Quinta 0\n");
  t.weekday = 6;
  EXPECT_EQ(Out("seja c dia\nescreve c\n"), "Sábado\n");
  PinLocalTimeForTest(nullptr);
}

TEST(Soma, CountsUpTheNumberAtTheEnd) {
  EXPECT_EQ(Out("seja a 12\nsoma a 4\nseja b \"item9\"\nsoma b 1\nseja c \"abc\"\nsoma c 1\nsoma d 5\n"
                "seja e \"x-3\"\nsoma e 5\nseja f \"a-\"\nsoma f 2\nescreve a \" \" b \" \" c \" \" d \" \" e \" \" f\n"),
            "16 item10 abc1 5 x2 a2\n");
  EXPECT_EQ(Out("seja a 1\nsoma a -3 e mais\nescreve a\n"), "-2\n");
  EXPECT_EQ(Out("seja a 2147483647\nsoma a 1\nescreve a\n"), "-2147483648\n");
  EXPECT_EQ(FailLine("soma a \"abc\"\n"), 1);
  EXPECT_EQ(FailLine("soma a\n"), 1);
  EXPECT_EQ(FailLine("seja a \"n99999999999\"\nsoma a 1\n"), 2);
}

TEST(Arithmetic, SubtractMultiplyDivide) {
  EXPECT_EQ(Out("seja a 10\nsubtrai a 3\nseja b 6\nmultiplica b -7\nseja c 7\ndivide c -2\nseja d \"$10\"\n"
                "subtrai d 1\nescreve a \" \" b \" \" c \" \" d\n"),
            "7 -42 -3 15\n");
  EXPECT_EQ(FailLine("seja a \"abc\"\nsubtrai a 1\n"), 2);
  EXPECT_EQ(FailLine("seja a 1\nmultiplica a x\n"), 2);
}

TEST(Arithmetic, ThirtyTwoBitsWrap) {
  EXPECT_EQ(Out("seja a 65536\nmultiplica a 65536\nseja b -2147483648\nsubtrai b 1\n"
                "seja c -2147483648\ndivide c -1\nescreve a \" \" b \" \" c\n"),
            "0 2147483647 -2147483648\n");
}

TEST(Arithmetic, DivisionByZero) {
  auto r = RunScriptText("seja a 5\ndivide a 0\n", "\n");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.console, "Divisão por zero\n2\n\n");
  EXPECT_EQ(r.speech[0], "say Divisão por zero");
}

TEST(Arithmetic, TrailingTextFailsAfterAssigning) {
  auto r = RunScriptText("seja a 5\nsubtrai a 1 x\n", "\n");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(Out("seja a 5\nse 1 = 2 subtrai a 1 x\nescreve a\n"), "5\n");
}

TEST(Text, Concatena) {
  EXPECT_EQ(Out("seja a \"ab\"\nconcatena a \"cd\"\nconcatena a a\nescreve a\n"), "abcdabcd\n");
  EXPECT_EQ(FailLine("concatena a \"x\" \"y\"\n"), 1);
}

TEST(Text, CopiaTakesAnEndPosition) {
  std::string y = "seja y \"abcdef\"\n";
  EXPECT_EQ(Out(y + "copia x y 0 3\nescreve x\n"), "abcd\n");
  EXPECT_EQ(Out(y + "copia x y 2 3\nescreve x\n"), "bc\n");
  EXPECT_EQ(Out(y + "copia x y 5 2\nescreve \"[\" x \"]\"\n"), "[]\n");
  EXPECT_EQ(Out(y + "copia x y 4 100\nescreve x\n"), "def\n");
  EXPECT_EQ(Out(y + "copia x y 7 9\nescreve \"[\" x \"]\"\n"), "[]\n");
  EXPECT_EQ(Out(y + "copia y y 2 3\nescreve y\n"), "bc\n");
  EXPECT_EQ(Out(y + "copia x y \" 2 \" 3 resto\nescreve x\n"), "bc\n");
  EXPECT_EQ(FailLine(y + "copia x y a 3\n"), 2);
}

TEST(Text, DeletaTakesACount) {
  std::string x = "seja x \"abcdef\"\n";
  EXPECT_EQ(Out(x + "deleta x 0 3\nescreve x\n"), "abcdef\n");
  EXPECT_EQ(Out(x + "deleta x 2 3\nescreve x\n"), "aef\n");
  EXPECT_EQ(Out(x + "deleta x 5 100\nescreve x\n"), "abcd\n");
  EXPECT_EQ(Out(x + "deleta x 7 1\nescreve x\n"), "abcdef\n");
  EXPECT_EQ(Out(x + "deleta x 1 0\nescreve x\n"), "abcdef\n");
}

TEST(Text, SubstituiScansFromTheRight) {
  EXPECT_EQ(Out("seja a \"aab\"\nsubstitui a \"ab\" \"b\"\nescreve a\n"), "b\n");
  EXPECT_EQ(Out("seja a \"abc\"\nsubstitui a \"\" \"-\"\nescreve a\n"), "-a-b-c-\n");
  EXPECT_EQ(Out("seja a \"a.b.c\"\nsubstitui a \".\" \"%2E\"\nescreve a\n"), "a%2Eb%2Ec\n");
  EXPECT_EQ(Out("seja a \"aab\"\nsubstitui a \"ab\" \"\"\nescreve \"[\" a \"]\"\n"), "[a]\n");
  EXPECT_EQ(Out("seja a \"Abab\"\nsubstitui a \"ab\" \"x\"\nescreve a\n"), "Abx\n");
  EXPECT_EQ(Out("seja a \"ab\"\nsubstitui a \"abc\" \"x\"\nescreve a\n"), "ab\n");
}

TEST(Text, GrowingATextPastTheLimitFails) {
  auto r = RunScriptText("seja a \"x\"\nrepete i 40\n  concatena a a\nfim repete\n", "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 3);
  EXPECT_EQ(r.speech[0], "say Texto longo demais");
}

}  // namespace kal::test
