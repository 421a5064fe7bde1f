// A run waits, keeps time and runs its posted work on the loop its context
// was built with, and on no other: a second context beside the case's, on
// a loop of its own, moves only its own clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "1_platform/user_notice.h"
#include "4_voices/engines/voice_engine.h"
#include "5_speech/speech.h"
#include "7_net/net_user.h"
#include "8_interpreter/state.h"
#include "tests/support/fresh_run.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

TEST(RunLoop, AScriptWaitsOnTheLoopOfItsOwnContext) {
  int64_t case_start = TestLoop().NowMs();
  {
    FreshRun own(MakeFakeEventLoop());
    int64_t start = own.loop->NowMs();
    InterpreterState in;
    in.context = &own.context;
    ScriptResult r = RunScriptIn(in, "espera 2\nescreve \"fim\"\n");
    EXPECT_EQ(r.outcome, 0);
    EXPECT_NE(r.console.find("fim"), std::string::npos) << r.console;
    EXPECT_GE(own.loop->NowMs() - start, 2000);
    EXPECT_LT(own.loop->NowMs() - start, 3000);
  }
  EXPECT_EQ(TestLoop().NowMs(), case_start);
}

// A notice is spoken from a task posted on the loop of the console that
// writes it: the case's loop running its tasks does not say it, the
// console's does.
TEST(RunLoop, ANoticeIsSpokenFromTheLoopOfItsConsole) {
  FreshRun own(MakeFakeEventLoop());
  InterpreterState in;
  in.context = &own.context;
  RunScriptIn(in, "");  // the console and the voice of a run are set up
  CaptureSpeechLog(own.speech_log, true);
  ClearCapturedSpeech(own.speech_log);
  AnnounceNotice(own.platform, "aviso");
  TestLoop().Wait(0);
  EXPECT_EQ(CapturedSpeech(own.speech_log).size(), 0u);
  own.loop->Wait(0);
  ASSERT_FALSE(CapturedSpeech(own.speech_log).empty());
  EXPECT_NE(CapturedSpeech(own.speech_log).back().find("aviso"), std::string::npos);
}

// The network's waits without a user and an engine's pauses keep the time
// of the loop they were given.
TEST(RunLoop, TheNetworkAndTheEnginesWaitOnTheirOwnLoop) {
  std::unique_ptr<EventLoop> loop = MakeFakeEventLoop();
  int64_t case_start = TestLoop().NowMs();
  int64_t start = loop->NowMs();
  Platform platform(*loop);
  ConfigState config(platform);
  Network network(platform, config);
  network.quiet->Pause(500);
  EXPECT_EQ(loop->NowMs() - start, 500);
  SleepAndPump(platform, 150);
  EXPECT_EQ(loop->NowMs() - start, 650);
  EXPECT_EQ(TestLoop().NowMs(), case_start);
}

}  // namespace
}  // namespace kal::test
