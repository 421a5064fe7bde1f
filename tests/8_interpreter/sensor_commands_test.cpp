// SENSOR over a fake parallel port: which sensor a closed switch gives, the
// lowest of several, the exact register sequence with its pauses, and a
// missing port. The baseline belongs to the interpreter that opened the
// port, so the runs of a test share one interpreter, as a script's lines do.
#include <gtest/gtest.h>

#include "1_platform/fake/fake_parallel_port.h"
#include "8_interpreter/state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

class SensorCommand : public ::testing::Test {
 protected:
  SensorCommand() : port_(InstallFakeParallelPort(Context().platform)) {}

  std::string Run(const std::string& script) {
    ScriptResult r = RunScriptIn(in_, script);
    EXPECT_EQ(r.outcome, 0) << script;
    return r.console;
  }
  std::string Sensor() { return Run("sensor $s\nescreve \"[\" $s \"]\"\n"); }

  FakeParallelPort* port_;
  InterpreterState in_;
};

TEST_F(SensorCommand, EachClosedSwitchGivesItsNumberAndSeveralGiveTheLowest) {
  EXPECT_EQ(Sensor(), "[0]\n");
  for (int n : {1, 5, 32, 2, 4, 31}) {
    port_->SetSwitch(n, true);
    EXPECT_EQ(Sensor(), "[" + std::to_string(n) + "]\n") << n;
    port_->SetSwitch(n, false);
  }
  port_->SetSwitch(32, true);
  port_->SetSwitch(5, true);
  EXPECT_EQ(Sensor(), "[5]\n");
  port_->SetSwitch(1, true);
  EXPECT_EQ(Sensor(), "[1]\n");
  EXPECT_EQ(port_->opens(), 1);  // opened once, kept open
}

TEST_F(SensorCommand, TheBaselineOnceThenEveryRowWithItsPauses) {
  Run("sensor $s\n");
  const auto& a = port_->accesses();
  ASSERT_EQ(a.size(), 3u + 8u * 3u);
  EXPECT_EQ(a[0].kind, PortAccess::kControl);
  EXPECT_EQ(a[0].value, 255);
  EXPECT_EQ(a[1].kind, PortAccess::kData);
  EXPECT_EQ(a[1].value, 1);
  EXPECT_EQ(a[2].kind, PortAccess::kStatus);
  EXPECT_GE(a[1].at_ms - a[0].at_ms, 1);
  EXPECT_GE(a[2].at_ms - a[1].at_ms, 1);
  for (int row = 0; row < 8; ++row) {
    const PortAccess* step = &a[3 + 3 * static_cast<size_t>(row)];
    EXPECT_EQ(step[0].kind, PortAccess::kControl);
    EXPECT_EQ(step[0].value, 255);
    EXPECT_EQ(step[1].kind, PortAccess::kData);
    EXPECT_EQ(step[1].value, (0x80 >> row) ^ 0xFF) << row;
    EXPECT_EQ(step[2].kind, PortAccess::kStatus);
    EXPECT_GE(step[1].at_ms - step[0].at_ms, 1);
    EXPECT_GE(step[2].at_ms - step[1].at_ms, 1);
  }
  // The next SENSOR scans again without a new baseline.
  port_->ClearAccesses();
  Run("sensor $s\n");
  EXPECT_EQ(port_->accesses().size(), 8u * 3u);
}

TEST_F(SensorCommand, AnIdleLevelOtherThanTheUsualIsTheBaseline) {
  port_->SetIdleStatus(0x00);
  port_->SetSwitch(7, true);
  EXPECT_EQ(Sensor(), "[7]\n");
}

TEST_F(SensorCommand, NoPortIsSaidAndGivesZero) {
  port_->SetPresent(false);
  auto r = RunScriptText("seja $s 9\nsensor $s\nescreve \"[\" $s \"]\"\nsensor $s\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_NE(r.console.find("inpout32.dll não disponível.\n[0]\ninpout32.dll não disponível.\n"), std::string::npos)
      << r.console;
  EXPECT_NE(Joined(r.speech).find("inpout32.dll não disponível."), std::string::npos) << Joined(r.speech);
  // The variable is still required.
  EXPECT_EQ(FailLine("sensor\n"), 1);
  EXPECT_EQ(FailLine("sensor \"x\"\n"), 1);
}

}  // namespace
}  // namespace kal::test
