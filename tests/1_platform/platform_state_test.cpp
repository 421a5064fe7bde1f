// The platform's and the configuration's state objects: what a service
// keeps lives in the object it is given, a fresh one starts clean, and the
// objects of a run read the configuration of that run.
#include "1_platform/platform.h"

#include <gtest/gtest.h>

#include "1_platform/event_loop.h"
#include "1_platform/power.h"
#include "1_platform/process.h"
#include "1_platform/pump.h"
#include "1_platform/stop_request.h"
#include "2_config/config.h"
#include "2_config/config_state.h"
#include "2_config/console_settings.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_run.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

TEST(PlatformState, EachObjectKeepsItsOwnStopAndCleanups) {
  Platform& outer = test::Context().platform;
  std::string ran;
  {
    Platform platform(test::TestLoop());
    RequestStop(platform, EndOf(EndReason::kInterrupted));
    RequestStop(platform, EndOf(EndReason::kInputEnded));  // the first end wins
    EXPECT_TRUE(StopRequested(platform));
    EXPECT_EQ(RequestedStop(platform).reason, EndReason::kInterrupted);
    AtProgramExit(platform, [&] { ran += "a"; });
    AtProgramExit(platform, [&] { ran += "b"; });
    PowerStatus pinned;
    pinned.percent = 42;
    platform.pinned_power = &pinned;
    EXPECT_EQ(ReadPowerStatus(platform).percent, 42);
    RunExitCleanups(platform);
    RunExitCleanups(platform);  // once each
  }
  EXPECT_EQ(ran, "ba");
  EXPECT_FALSE(StopRequested(outer));  // the outer object saw no request
}

// A stop belongs to the state it was requested on: that state's waits
// unwind (no virtual time passes, no key is read) while another's go on.
// A signal reaches no state in particular, so every state sees it; a
// request made before it still says why there, and clearing a state forgets
// the signal too.
TEST(PlatformState, AStopUnwindsTheWaitsOfItsOwnStateAndASignalThoseOfEvery) {
  EventLoop& loop = test::TestLoop();
  Platform stopped(loop), running(loop);
  RequestStop(stopped, EndOf(EndReason::kInterrupted));
  int64_t start = loop.NowMs();
  Delay(stopped, 5000);
  EXPECT_EQ(loop.NowMs(), start);
  EXPECT_TRUE(KeyPressed(stopped));
  EXPECT_EQ(ReadKey(stopped), kNoKeyByte);
  Delay(running, 5000);
  EXPECT_EQ(loop.NowMs(), start + 5000);
  EXPECT_FALSE(KeyPressed(running));
  EXPECT_EQ(ReadKey(running), 13);  // no key input: Enter, so that no wait hangs

  RequestStopFromSignal(15);
  EXPECT_EQ(RequestedStop(stopped).reason, EndReason::kInterrupted);
  EXPECT_TRUE(StopRequested(running));
  EXPECT_EQ(RequestedStop(running).exit_code, 143);
  ClearStopRequest(running);
  EXPECT_FALSE(StopRequested(running));
  EXPECT_FALSE(StopRequested(test::Context().platform));
  EXPECT_TRUE(StopRequested(stopped));  // its own request stays
}

// Each configuration state keeps its own flag: one set on a state built
// beside the run's leaves the run's alone, and a fresh one starts without a
// legacy copy.
TEST(ConfigStateTest, AFreshStateHasNoLegacyCopyAndLeavesTheRunsAlone) {
  ConfigState& run = test::Context().config;
  EXPECT_FALSE(LegacyFlag(run));
  {
    ConfigState config(test::Context().platform);
    EXPECT_FALSE(LegacyFlag(config));
    SetLegacyFlag(config, true);
    EXPECT_TRUE(config.legacy);
    EXPECT_TRUE(LegacyFlag(config));
    EXPECT_FALSE(LegacyFlag(run));
  }
  EXPECT_FALSE(LegacyFlag(run));
}

// What reads settings for itself reads them from the configuration of the
// run it was built for, never from another run's built beside it.
TEST(ConfigStateTest, TheObjectsOfARunReadItsConfiguration) {
  test::FreshRun other(MakeFakeEventLoop());
  EXPECT_EQ(other.player.config, &other.config);
  EXPECT_EQ(&other.speech.config, &other.config);
  EXPECT_EQ(&other.console.config, &other.config);
  EXPECT_EQ(&other.network.config, &other.config);
  EXPECT_EQ(&other.context.config, &other.config);
  RunContext& own = test::Context();
  EXPECT_EQ(&own.console.config, &own.config);
  EXPECT_NE(&own.config, &other.config);
  // A pin on one run's state is answered for that run only.
  ConsoleSettings pinned;
  pinned.background = 9;
  other.config.console_override = &pinned;
  EXPECT_EQ(ReadConsoleSettings(other.console.config).background, 9);
  EXPECT_NE(ReadConsoleSettings(own.console.config).background, 9);
  other.config.console_override = nullptr;
}

}  // namespace
}  // namespace kal
