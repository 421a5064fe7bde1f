// The platform's and the configuration's state objects: what a service
// keeps lives in the installed object, a fresh one starts clean, and the
// previous one comes back when a scope ends.
#include "1_platform/platform.h"

#include <gtest/gtest.h>

#include "1_platform/power.h"
#include "1_platform/process.h"
#include "1_platform/stop_request.h"
#include "2_config/config.h"
#include "2_config/config_state.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

TEST(PlatformState, EachInstalledObjectKeepsItsOwnStopAndCleanups) {
  Platform* outer = InstalledPlatform();
  ASSERT_NE(outer, nullptr);  // the test program's
  std::string ran;
  {
    Platform platform(test::TestLoop());
    ScopedPlatform use(platform);
    EXPECT_EQ(InstalledPlatform(), &platform);
    RequestStop(EndOf(EndReason::kInterrupted));
    RequestStop(EndOf(EndReason::kInputEnded));  // the first end wins
    EXPECT_TRUE(StopRequested());
    EXPECT_EQ(RequestedStop().reason, EndReason::kInterrupted);
    AtProgramExit([&] { ran += "a"; });
    AtProgramExit([&] { ran += "b"; });
    PowerStatus pinned;
    pinned.percent = 42;
    platform.pinned_power = &pinned;
    EXPECT_EQ(ReadPowerStatus().percent, 42);
    RunExitCleanups();
    RunExitCleanups();  // once each
  }
  EXPECT_EQ(ran, "ba");
  EXPECT_EQ(InstalledPlatform(), outer);
  EXPECT_FALSE(StopRequested());  // the outer object saw no request
}

TEST(ConfigStateTest, AFreshStateHasNoLegacyCopyAndThePreviousComesBack) {
  ConfigState* outer = InstalledConfig();
  ASSERT_NE(outer, nullptr);
  {
    ConfigState config;
    ScopedConfig use(config);
    EXPECT_FALSE(LegacyFlag());
    SetLegacyFlag(true);
    EXPECT_TRUE(config.legacy);
    EXPECT_TRUE(LegacyFlag());
  }
  EXPECT_EQ(InstalledConfig(), outer);
  EXPECT_FALSE(LegacyFlag());
}

}  // namespace
}  // namespace kal
