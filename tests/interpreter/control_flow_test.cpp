// SE, SENÃO, ENQUANTO, REPETE, FIM, DESVIA, CHAMA, RETORNA, TERMINA.
#include <gtest/gtest.h>

#include "tests/support/script_harness.h"

namespace kal::test {

TEST(If, FalseBlockSkipsNestedBlocks) {
  EXPECT_EQ(Out("seja a 0\n"
                "se a = 1\n"
                "  se a = 0\n"
                "    escreve \"x\"\n"
                "  fim se\n"
                "  escreve \"y\"\n"
                "senão\n"
                "  escreve \"senao\"\n"
                "fim   se\n"
                "escreve \"depois\"\n"),
            "senao\ndepois\n");
}

TEST(If, TrueBlockWithNestedBlockAndElse) {
  EXPECT_EQ(Out("seja a 1\n"
                "se a = 1\n"
                "  se a = 2\n"
                "    escreve \"x\"\n"
                "  senao\n"
                "    escreve \"dentro\"\n"
                "  fim se\n"
                "senao\n"
                "  escreve \"nao\"\n"
                "fim se\n"
                "escreve \"fim\"\n"),
            "dentro\nfim\n");
}

TEST(If, ElseSkipStopsAtTheFirstFimSe) {
  // After SENÃO the skip does not count nesting: the else part's own
  // FIM SE ends it, and the rest runs.
  EXPECT_EQ(Out("seja a 1\n"
                "se a = 1\n"
                "  escreve \"sim\"\n"
                "senao\n"
                "  se a = 1\n"
                "    escreve \"a\"\n"
                "  fim se\n"
                "  escreve \"b\"\n"
                "fim se\n"),
            "sim\nb\n");
}

TEST(If, SkipTakesOneLineIfAndUnevaluableHeadsAsPlainLines) {
  // A one-line SE opens nothing; a head whose condition cannot be
  // evaluated (unknown list) opens nothing either.
  EXPECT_EQ(Out("se 1 = 2\n"
                "  se 1 = 1 escreve \"x\"\n"
                "  se x em [nada]\n"
                "fim se\n"
                "escreve \"fora\"\n"
                "fim se\n"
                "escreve \"fim\"\n"),
            "fora\nfim\n");
}

TEST(If, SkipEvaluatesNestedHeadsWithCurrentValues) {
  // The head is read upper-cased: [L] names the list L.
  std::string script =
      "se 1 = 2\n"
      "  se x em [l]\n"
      "  fim se\n"
      "  escreve \"x\"\n"
      "fim se\n"
      "escreve \"y\"\n";
  EXPECT_EQ(Out("lista [L] cria\n" + script), "y\n");
  EXPECT_EQ(Out("lista [l] cria\n" + script), "x\ny\n");
}

TEST(If, OneLineFormsNest) {
  EXPECT_EQ(Out("seja a 1\nseja b 2\nse a = 1 se b = 2 escreve \"ambos\"\nse a = 1 se b = 3 escreve \"nao\"\n"),
            "ambos\n");
}

TEST(If, BlockWordsAreRefusedAfterACondition) {
  EXPECT_EQ(FailLine("seja a 1\nse a = 1 senão\n"), 2);
  EXPECT_EQ(Out("seja a 2\nse a = 1 senão\nescreve \"ok\"\n"), "ok\n");
  EXPECT_EQ(FailLine("se 1 = 1 repete i 2\n"), 1);
  EXPECT_EQ(FailLine("se 1 = 1 fim se\n"), 1);
}

TEST(If, FalseBlockWithoutEndEndsTheRun) {
  auto r = RunScriptText("se 1 = 2\nescreve \"x\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(r.console, "");
  EXPECT_EQ(Joined(r.speech), "say Fim do script\n");
}

TEST(If, DeeplyChainedOneLineIfsFailInsteadOfCrashing) {
  std::string line;
  for (int i = 0; i < 5000; ++i) line += "se 1 = 1 ";
  line += "escreve 1\n";
  auto r = RunScriptText(line, "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.console, "Excesso de comandos aninhados\n1\n\n");
}

TEST(Loops, EnquantoCountsAndEndsWithoutFim) {
  EXPECT_EQ(Out("seja c 0\nenquanto c < 3\n  soma c 1\nfim enquanto\nescreve c\n"), "3\n");
  EXPECT_EQ(Out("enquanto 1 = 2\nescreve \"x\"\n"), "");
}

TEST(Loops, SameKindLoopsDoNotNest) {
  // The outer FIM ENQUANTO jumps to the nearest ENQUANTO above it, the
  // inner one: the outer head never runs again.
  EXPECT_EQ(Out("seja k 0\n"
                "enquanto 1 = 1\n"
                "  escreve \"cabeça\"\n"
                "  enquanto k < 2\n"
                "    escreve \"k\" k\n"
                "    soma k 1\n"
                "  fim enquanto\n"
                "  soma k 1\n"
                "  se k = 5 desvia @fim\n"
                "fim enquanto\n"
                "@fim\n"
                "escreve k\n"),
            "cabeça\nk0\nk1\n5\n");
}

TEST(Loops, Repete) {
  EXPECT_EQ(Out("repete r 3\n  escreve r\nfim repete\nescreve \"r=\" r\n"), "1\n2\n3\nr=4\n");
  EXPECT_EQ(Out("repete r 0\n  escreve r\nfim repete\nescreve \"r=\" r\n"), "r=1\n");
  EXPECT_EQ(FailLine("repete r n\nfim repete\n"), 1);
  EXPECT_EQ(FailLine("repete r\n"), 1);
}

TEST(Loops, RepeteReadsItsCountOnEveryPass) {
  EXPECT_EQ(Out("seja n 5\nrepete i n\n  seja n 2\n  escreve i\nfim repete\n"), "1\n2\n");
  EXPECT_EQ(Out("seja $n 2\nrepete $k $n\n  escreve $k\nfim  REPETE\n"), "1\n2\n");
}

TEST(Loops, RepeteNestsWithEnquanto) {
  EXPECT_EQ(Out("repete i 2\n  seja j 0\n  enquanto j < 2\n    soma j 1\n    escreve i j\n  fim enquanto\n"
                "fim repete\n"),
            "11\n12\n21\n22\n");
}

TEST(Loops, FimWithoutHeadFails) {
  EXPECT_EQ(FailLine("escreve 1\nfim repete\n"), 2);
  EXPECT_EQ(FailLine("fim enquanto\n"), 1);
  EXPECT_EQ(FailLine("fim\n"), 1);
  EXPECT_EQ(Out("fim para\nfim se\nescreve 1\n"), "1\n");
}

TEST(Loops, RepeteVariableMustStayANumber) {
  // The step runs on the REPETE line, so that is the line reported.
  EXPECT_EQ(FailLine("escreve 0\nrepete i 3\n  seja i \"x\"\nfim repete\n"), 2);
}

TEST(Jumps, LabelsIgnoreCaseButNotBlanks) {
  EXPECT_EQ(Out("desvia @Inicio\nescreve \"x\"\n@inicio\nescreve \"y\"\n"), "y\n");
  EXPECT_EQ(FailLine("desvia @inicio\n @inicio\n"), 1);
  EXPECT_EQ(FailLine("desvia @inicio\n@inicio \n"), 1);
  EXPECT_EQ(FailLine("desvia @two words\n@two words\n"), 1);
  EXPECT_EQ(FailLine("desvia\n"), 1);
}

TEST(Jumps, TargetFromAnOperand) {
  EXPECT_EQ(Out("seja $destino \"inicio\"\ndesvia $destino\nescreve \"x\"\n@INICIO\nescreve \"y\"\n"), "y\n");
  EXPECT_EQ(FailLine("seja $d \"a\"\ndesvia $d 1\n@a\n"), 2);
}

TEST(Jumps, FirstMatchingLabelWins) {
  EXPECT_EQ(Out("desvia @a\n@a\nescreve 1\ntermina\n@a\nescreve 2\n"), "1\n");
}

TEST(Jumps, LabelOnTheLastLineEndsNormally) {
  auto r = RunScriptText("desvia @fim\nescreve \"x\"\n@fim\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(Joined(r.speech), "say Fim do script\n");
}

TEST(Calls, CallAndReturn) {
  EXPECT_EQ(Out("chama @sub\nescreve \"voltou\"\ntermina\n@sub\nescreve \"sub\"\nretorna\n"), "sub\nvoltou\n");
}

TEST(Calls, TwentyNestedCallsWorkTheTwentyFirstFails) {
  std::string ok = "seja n 0\nchama @f\nescreve \"fim \" n\ntermina\n@f\nsoma n 1\nse n < 20 chama @f\nretorna\n";
  EXPECT_EQ(Out(ok), "fim 20\n");
  auto r = RunScriptText("seja n 0\nchama @f\ntermina\n@f\nsoma n 1\nchama @f\n", "\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 6);
  EXPECT_EQ(r.console, "Muitas chamadas sem retorno\n6\n\n");
}

TEST(Calls, ReturnWithoutCall) {
  auto r = RunScriptText("escreve 1\nretorna\n", "\n");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(Joined(r.speech), "say 1\nsay Retorno sem chamada\nsay Erro de execução na linha \nsay 2\n");
  EXPECT_EQ(FailLine("chama @s\ntermina\n@s\nretorna x\n"), 4);
}

TEST(Calls, MissingLabelFails) { EXPECT_EQ(FailLine("chama @nada\n"), 1); }

TEST(End, TerminaMudoIsSilent) {
  auto r = RunScriptText("escreve 1\ntermina mudo\nescreve 2\n");
  EXPECT_EQ(r.console, "1\n");
  EXPECT_EQ(Joined(r.speech), "say 1\n");
  r = RunScriptText("termina agora\nescreve 2\n");
  EXPECT_EQ(Joined(r.speech), "say Fim do script\n");
  r = RunScriptText("termina MUDO\n");
  EXPECT_EQ(Joined(r.speech), "");
}

}  // namespace kal::test
