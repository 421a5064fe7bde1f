#include "tests/support/fresh_subsystems.h"

#include <gtest/gtest.h>

#include <memory>

#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "tests/support/fresh_run.h"

namespace kal::test {

FreshRun::FreshRun(std::unique_ptr<EventLoop> run_loop) : loop(std::move(run_loop)) {
#ifdef _WIN32
  // Wine runs the tests without a sound driver: each case plays into a
  // capture device, as the whole test program did while it had one platform,
  // instead of being told "Sem som" by a host device that cannot open.
  InstallCaptureAudio(platform);
#endif
}

namespace {

std::unique_ptr<FreshRun> g_run;  // the case's; the test program's one thread reads it

class FreshSubsystems : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { g_run = std::make_unique<FreshRun>(MakeFakeEventLoop()); }
  void OnTestEnd(const ::testing::TestInfo&) override { g_run.reset(); }
};

const bool kInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSubsystems);
  return true;
}();

}  // namespace

RunContext& Context() { return g_run->context; }

EventLoop& TestLoop() { return *g_run->loop; }

void UseRealLoop() {
  g_run.reset();  // the old context's scopes end before the new one's begin
  g_run = std::make_unique<FreshRun>(MakePollEventLoop());
}

}  // namespace kal::test
