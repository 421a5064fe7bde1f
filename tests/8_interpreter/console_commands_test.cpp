// The console commands as scripts: what is written, what is said, what is
// read from the keys, and how long the waits take on the fake clock.
#include <gtest/gtest.h>

#include "6_console/console.h"
#include "0_base/console_grid.h"
#include "1_platform/event_loop.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

// Runs a script; an Enter typed after the keys answers the wait that follows
// a failing line.
ScriptResult Script(const std::string& script, const std::string& keys = "") {
  return RunScriptText(script, keys + "\r");
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  for (auto& l : lines)
    if (l == line) return true;
  return false;
}

// Virtual milliseconds a script takes beyond an empty run.
int64_t ElapsedMs(const std::string& script) {
  Script("escreve\n");
  int64_t base = Loop().NowMs();
  Script(script);
  return Loop().NowMs() - base;
}

TEST(ConsoleCommands, WriteMutedWithoutLineEndAndWithLeftovers) {
  auto r = Script("escreve mudo \"calado\"\nseja $n 7\nescreve $n \". \"&\nescreve \"x\"\n");
  EXPECT_NE(r.console.find("calado\n7. x\n"), std::string::npos) << r.console;
  EXPECT_FALSE(Has(r.speech, "say calado"));
  EXPECT_TRUE(Has(r.speech, "say 7. "));
  r = Script("escreve \"lido\" ,\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("lido\n"), std::string::npos);
  EXPECT_TRUE(Has(r.speech, "say lido"));
}

TEST(ConsoleCommands, SingleKeysAsKeyCodeTexts) {
  auto r = Script("le $a &\nle $b &\nle tecla $c\nle tecla $d\nescreve $a \"|\" $b \"|\" $c \"|\" $d\n",
                         "\rxa\x01");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("#13|x|000#97|010#1\n"), std::string::npos) << r.console;
  r = Script("le mudo $a &\nescreve $a\n", "\x1b[A");  // Up: extended key 72
  EXPECT_NE(r.console.find("#0#72\n"), std::string::npos) << r.console;
}

TEST(ConsoleCommands, BareReadsWaitForAKeyOrALine) {
  auto r = Script("le &\nle\nle mudo $s\nescreve \"[\" $s \"]\"\n", "qabc\rdef\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("[def]\n"), std::string::npos) << r.console;
}

TEST(ConsoleCommands, LinesComeFromTheFieldEditor) {
  auto r = Script("le $a\nseja $b \"pré\"\nle edita $b\nescreve $a \"|\" $b\n", "abc\r\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("abc|pré\n"), std::string::npos) << r.console;
  EXPECT_TRUE(Has(r.speech, "char 97"));  // typed characters are echoed
  r = RunScriptText("seja $b \"pré\"\nle edita $b\nescreve \"[\" $b \"]\"\n", "\x1b");
  EXPECT_NE(r.console.find("[]\n"), std::string::npos) << r.console;
}

TEST(ConsoleCommands, PasswordTypingIsHiddenAndColoursComeBack) {
  auto r = Script("cor 14\nle senha $p\nescreve $p\n", "segredo\r");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_NE(r.console.find("segredo\n"), std::string::npos);
  EXPECT_EQ(Grid().attribute() & 0x0F, 14);
}

TEST(ConsoleCommands, SpeakSpellAndTime) {
  auto r = Script("fala \"oi\" \" você\"\nfala &\nsoletra \"ab\"\nfalahora \"09:30\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_TRUE(Has(r.speech, "say oi você"));
  EXPECT_TRUE(Has(r.speech, "spell ab"));
  EXPECT_TRUE(Has(r.speech, "time 9:30"));
  EXPECT_NE(r.console.find("ab"), std::string::npos);
  EXPECT_EQ(Script("falahora \"9:30\"\n").outcome, 1);
  EXPECT_EQ(Script("falahora \"ab:cd\"\n").outcome, 1);
  EXPECT_EQ(Script("soletra\n").outcome, 1);
}

TEST(ConsoleCommands, WaitsCountSixteenBitMilliseconds) {
  EXPECT_EQ(ElapsedMs("espera 2\n"), 2000);
  EXPECT_EQ(ElapsedMs("espera ms 250\n"), 250);
  EXPECT_EQ(ElapsedMs("espera 70\n"), 4464);
  EXPECT_EQ(Script("espera \"x\"\n").outcome, 1);
  EXPECT_EQ(Script("espera\n").outcome, 1);
}

TEST(ConsoleCommands, TitleWaitPollsTheWindowInFront) {
  EXPECT_EQ(ElapsedMs("espera 3 \"janela que nao existe\"\n"), 3000);
  auto r = Script("espera 3 \"nao existe\"\ncheca s\nescreve \"s=\" s\n"
                    "título \"Minha Janela\"\nespera 3 \"minha jan\"\ncheca s\nescreve \"s=\" s\n");
  EXPECT_NE(r.console.find("s=1\ns=0\n"), std::string::npos) << r.console;
}

TEST(ConsoleCommands, ScreenColoursAndCursor) {
  auto r = Script("fundo 1\ncor 15\ntela @10,5\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(Grid().attribute(), 0x1F);
  EXPECT_EQ(WhereX(), 10);
  EXPECT_EQ(WhereY(), 5);
  EXPECT_EQ(Script("seja a \"limpa\"\ntela a\n").line, 2);
  EXPECT_EQ(Script("seja a \"LIMPA\"\ntela a\ntela minimizada\ntela normal\n").outcome, 0);
  EXPECT_EQ(Script("tela @x,5\n").outcome, 1);
  EXPECT_EQ(Script("tela outra\n").outcome, 1);
  EXPECT_EQ(Script("cor \"azul\"\n").outcome, 1);
}

}  // namespace
}  // namespace kal::test
