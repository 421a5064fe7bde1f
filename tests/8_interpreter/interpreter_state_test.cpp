// The interpreter as an object: what a run leaves stays with its
// interpreter, a fresh one starts from nothing, and what an interpreter
// installs or opens goes with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "7_net/net_user.h"
#include "tests/support/memory_console.h"
#include "6_console/console.h"
#include "5_speech/speech.h"
#include "4_voices/word_voice.h"
#include "0_base/speech_log.h"
#include "0_base/console_grid.h"
#include "8_interpreter/console_net_user.h"
#include "8_interpreter/state.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "7_net/network.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

// The case's network (tests/support/fresh_subsystems.h).
Network& Net() { return test::Context().network; }

TEST(InterpreterState, ARunKeepsItsStateInItsInterpreterOnly) {
  InterpreterState in;
  ScriptResult r = RunScriptIn(in, "seja $nome \"ana\"\nlista [l] cria\nlista [l] adiciona \"x\"\nsoma a 5\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  // The same interpreter again: the variables and the list are still there.
  r = RunScriptIn(in, "lista [l] tamanho t\nescreve $nome \" \" a \" \" t\n");
  EXPECT_EQ(r.console, "ana 5 1\n");
  // A fresh one knows none of them.
  EXPECT_EQ(Out("escreve \"[\" $nome \"]\" a\n"), "[]\n");
  EXPECT_EQ(FailLine("lista [l] tamanho t\n"), 1);
}

TEST(InterpreterState, LimitsBelongToTheirInterpreter) {
  InterpreterState limited;
  limited.limits.max_lines = 3;
  ScriptResult r = RunScriptIn(limited, "escreve 1\nescreve 2\nescreve 3\nescreve 4\n");
  EXPECT_EQ(r.console, "1\n2\n3\n");
  EXPECT_EQ(Out("escreve 1\nescreve 2\nescreve 3\nescreve 4\n"), "1\n2\n3\n4\n");
}

// The binary file and the byte buffer go with the interpreter: the file is
// closed, what was written reached it, and the next interpreter has none.
TEST(InterpreterState, TheBinaryFileClosesWithItsInterpreter) {
  TalvenSandbox box;
  std::filesystem::create_directories(box.drives() + "/c");
  {
    InterpreterState in;
    ScriptResult r = RunScriptIn(in, "criabin \"c:\\saida\"\nescrevebyte \"abc\"\ngravabytes\nescrevebyte \"def\"\n");
    EXPECT_EQ(r.outcome, 0) << r.console;
  }
  EXPECT_EQ(ReadFileBytes(box.drives() + "/c/saida"), "abc");
  EXPECT_EQ(RunScriptText("gravabytes\n", "\r").outcome, 1);  // no binary file open
}

TEST(InterpreterState, MciDevicesBelongToTheirInterpreter) {
  InterpreterState in;
  RunScriptIn(in, "mci r \"open c:\\som.wav alias musica\"\n");
  EXPECT_EQ(RunScriptIn(in, "mci r \"status musica mode\"\nescreve \"[\" r \"]\"\n").console, "[stopped]\n");
  EXPECT_EQ(Out("mci r \"status musica mode\"\nescreve \"[\" r \"]\"\n"), "[]\n");
}

// The network layer talks to the console user of the interpreter that runs;
// when that interpreter goes, the layer falls back to its quiet user rather
// than keep a user that is gone, and a user installed by someone else stays.
TEST(InterpreterState, TheConsoleNetUserIsInstalledForTheRunOnly) {
  auto in = std::make_unique<InterpreterState>();
  RunScriptIn(*in, "escreve 1\n");
  EXPECT_EQ(&UserOf(Net()), &in->net_user);
  in.reset();
  EXPECT_EQ(dynamic_cast<ConsoleNetUser*>(&UserOf(Net())), nullptr);

  ConsoleNetUser mine(Context().console);
  SetNetUser(Net(), &mine);
  {
    ConsoleNetUser other(Context().console);  // never installed: going away leaves mine alone
  }
  EXPECT_EQ(&UserOf(Net()), &mine);
  SetNetUser(Net(), nullptr);
}

// A quiet network user writes what it is told and stays silent; once it
// talks on the run's console it also says it.
TEST(InterpreterState, ANetUserWithoutAFacadeWritesAndOneWithItAlsoSpeaks) {
  std::string text;
  UseMemoryConsole("", &text);
  SetWordVoice(Context().speech, MakeLoggingWordVoice(Context().speech_log));
  CaptureSpeechLog(Context().speech_log, true);
  ConsoleNetUser user(Context().console, ConsoleNetUser::kQuiet);
  user.Tell("sem voz");
  user.Click();
  EXPECT_FALSE(user.TakeDownloadKeys([] { return DownloadProgress{}; }, nullptr));
  EXPECT_TRUE(CapturedSpeech(Context().speech_log).empty());
  EXPECT_EQ(GridOf(Context().console).RowText(0).substr(0, 8), "sem voz ");
  user.TalkOn(Net(), Context().console);
  user.Tell("com voz");
  ASSERT_FALSE(CapturedSpeech(Context().speech_log).empty());
  EXPECT_EQ(CapturedSpeech(Context().speech_log).front(), "say com voz");
}

}  // namespace
}  // namespace kal::test
