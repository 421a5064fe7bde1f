// The console commands where a test looks past a script's own output: the
// colours and cursor left on the screen and how long the waits take on the
// fake clock. Whole scripts of these commands are files under
// tests/scripts/console/.
#include <gtest/gtest.h>

#include "6_console/console.h"
#include "0_base/console_grid.h"
#include "1_platform/event_loop.h"
#include "tests/support/script_harness.h"
#include "6_console/console_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

// Runs a script; an Enter typed after the keys answers the wait that follows
// a failing line.
ScriptResult Script(const std::string& script, const std::string& keys = "") {
  return RunScriptText(script, keys + "\r");
}

// Virtual milliseconds a script takes beyond an empty run.
int64_t ElapsedMs(const std::string& script) {
  int64_t start = test::TestLoop().NowMs();
  Script("escreve\n");
  int64_t empty = test::TestLoop().NowMs() - start;  // the runs of a case share its loop's clock
  start = test::TestLoop().NowMs();
  Script(script);
  return test::TestLoop().NowMs() - start - empty;
}

TEST(ConsoleCommands, PasswordTypingIsHiddenAndColoursComeBack) {
  auto r = Script("cor 14\nle senha $p\nescreve $p\n", "segredo\r");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_NE(r.console.find("segredo\n"), std::string::npos);
  EXPECT_EQ(GridOf(Context().console).attribute() & 0x0F, 14);
}

TEST(ConsoleCommands, WaitsCountSixteenBitMilliseconds) {
  EXPECT_EQ(ElapsedMs("espera 2\n"), 2000);
  EXPECT_EQ(ElapsedMs("espera ms 250\n"), 250);
  EXPECT_EQ(ElapsedMs("espera 70\n"), 4464);
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
  EXPECT_EQ(GridOf(Context().console).attribute(), 0x1F);
  EXPECT_EQ(WhereX(test::Context().console), 10);
  EXPECT_EQ(WhereY(test::Context().console), 5);
}

}  // namespace
}  // namespace kal::test
