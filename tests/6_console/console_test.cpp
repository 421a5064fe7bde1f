#include "2_config/config_state.h"
#include "6_console/console.h"

#include <gtest/gtest.h>

#include "0_base/console_grid.h"
#include "2_config/console_settings.h"
#include "6_console/key_decoder.h"
#include "6_console/key_queue.h"
#include "1_platform/event_loop.h"
#include "1_platform/stop_request.h"
#include "tests/support/memory_console.h"
#include "6_console/console_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void Start(const std::string& keys) {
    test::UseMemoryConsole(keys, &out_);
  }
  std::string out_;
};

TEST(KeyQueue, TwoByteCodeNeedsRoomForBothBytes) {
  KeyQueue q;
  for (int i = 0; i < 62; ++i) ASSERT_TRUE(q.PushByte('a'));
  EXPECT_TRUE(q.PushExtended(72));
  EXPECT_EQ(q.size(), 64u);
  EXPECT_FALSE(q.PushByte('b'));
  q.Pop();
  EXPECT_FALSE(q.PushExtended(72));  // 63 queued: the arrow is dropped whole
  EXPECT_EQ(q.size(), 63u);
  EXPECT_TRUE(q.PushByte('c'));
}

// Once a stop is requested every wait unwinds at once: no key is read, no
// virtual time passes, a line read returns what it had.
void ExpectWaitsUnwind() {
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_TRUE(KeyPressed(test::Context().platform));
  EXPECT_EQ(ReadKey(test::Context().platform), kNoKeyByte);
  Delay(test::Context().platform, 60000);
  EXPECT_EQ(ConsoleReadLine(test::Context().console), "");
  EXPECT_LT(test::TestLoop().NowMs() - t0, 1000);
}

TEST_F(ConsoleTest, BreakKeyRequestsTheStopAndEmptiesTheQueue) {
  Start("");
  PushKeyBytes(test::Context().console, "abc");
  PushKeyEvents(test::Context().console, {KeyEvent{KeyEvent::kBreak, 0, 0}, KeyEvent{KeyEvent::kChar, 'd', 0}});
  ASSERT_TRUE(StopRequested(test::Context().platform));
  EXPECT_EQ(RequestedStop(test::Context().platform).reason, EndReason::kInterrupted);
  EXPECT_EQ(RequestedStop(test::Context().platform).exit_code, 130);
  EXPECT_TRUE(RequestedStop(test::Context().platform).break_key);  // it is said before the end, unlike a closed window
  EXPECT_EQ(KeyQueueSize(test::Context().console), 1u);  // what came before the break is gone
  ExpectWaitsUnwind();
  // A fresh console forgets the request.
  Start("x");
  EXPECT_FALSE(StopRequested(test::Context().platform));
  EXPECT_EQ(ReadKey(test::Context().platform), 'x');
}

TEST_F(ConsoleTest, EndOfInputDuringAWaitRequestsTheStopAndTheFirstReasonStays) {
  Start("a");
  EXPECT_EQ(ReadKey(test::Context().platform), 'a');
  EXPECT_FALSE(StopRequested(test::Context().platform));
  EXPECT_EQ(ReadKey(test::Context().platform), kNoKeyByte);
  EXPECT_EQ(RequestedStop(test::Context().platform).reason, EndReason::kInputEnded);
  EXPECT_EQ(RequestedStop(test::Context().platform).exit_code, 2);
  ExpectWaitsUnwind();
  PushKeyEvents(test::Context().console, {KeyEvent{KeyEvent::kBreak, 0, 0}});
  RequestStopFromSignal(15);
  EXPECT_EQ(RequestedStop(test::Context().platform).exit_code, 2);
  ClearStopRequest(test::Context().platform);
  RequestStopFromSignal(15);
  EXPECT_EQ(RequestedStop(test::Context().platform).reason, EndReason::kSignal);
  EXPECT_EQ(RequestedStop(test::Context().platform).exit_code, 143);
  ClearStopRequest(test::Context().platform);
}

TEST_F(ConsoleTest, MouseCodesFillTheQueueByteByByte) {
  Start("");
  std::string fill(63, 'a');
  ASSERT_TRUE(PushKeyBytes(test::Context().console, fill));
  PushKeyEvents(test::Context().console, {KeyEvent{KeyEvent::kMouseExtended, 67, 0}});
  EXPECT_EQ(KeyQueueSize(test::Context().console), 64u);  // the zero went in, the code did not
}

TEST_F(ConsoleTest, IgnoredClickOnlyClearsTheFlag) {
  Start("");
  IgnoreNextClick(test::Context().console);
  PushKeyEvents(test::Context().console, {KeyEvent{KeyEvent::kMouseChar, 13, 0}, KeyEvent{KeyEvent::kMouseChar, 27, 0}});
  EXPECT_EQ(ReadKey(test::Context().platform), 27);
}

TEST_F(ConsoleTest, KeysCarryTheirModifiers) {
  Start("\x1b[1;2DA");
  EXPECT_EQ(ReadKey(test::Context().platform), 0);
  EXPECT_EQ(ReadKey(test::Context().platform), 75);
  EXPECT_EQ(LastKeyModifiers(test::Context().console), kModShift);
  EXPECT_EQ(ReadKey(test::Context().platform), 'A');
  EXPECT_EQ(LastKeyModifiers(test::Context().console), kModShift);
}

TEST_F(ConsoleTest, LoneEscInTypedKeysIsTheEscKey) {
  Start("\x1b" "a\x1b");
  EXPECT_EQ(ReadKey(test::Context().platform), 27);
  EXPECT_EQ(ReadKey(test::Context().platform), 'a');
  EXPECT_EQ(ReadKey(test::Context().platform), 27);
}

TEST_F(ConsoleTest, LongTypeAheadIsKeptNotDropped) {
  std::string keys(200, 'k');
  Start(keys + "\n");
  std::string got;
  for (int i = 0; i < 201; ++i) got.push_back(static_cast<char>(ReadKey(test::Context().platform)));
  EXPECT_EQ(got, keys + "\r");
}

TEST_F(ConsoleTest, ConsoleReadLineEchoesAndEditsWithBackspace) {
  Start("abx\x7f" "c\n");
  EXPECT_EQ(ConsoleReadLine(test::Context().console), "abc\r\n");
  EXPECT_EQ(out_, "abc\n");  // the headless text applies the backspace
}

TEST_F(ConsoleTest, ConsoleReadLineStopsStoringAt126Characters) {
  Start(std::string(130, 'z') + "\n");
  EXPECT_EQ(ConsoleReadLine(test::Context().console), std::string(126, 'z') + "\r\n");
}

TEST_F(ConsoleTest, StartAttributeAndColourSettingsComeFromTheConfiguration) {
  ConsoleSettings cfg;
  cfg.background = 1;
  cfg.foreground = 14;
  cfg.colours_fixed = true;
  cfg.colour_table = "4,1";
  test::Context().config.console_override = &cfg;
  test::Context().config.magnifier_override = nullptr;
  Start("");
  ConsoleWrite(test::Context().console, "x");
  TextColor(test::Context().console, 2);
  EXPECT_EQ(GridOf(test::Context().console).attribute(), 0x1E);
  EXPECT_EQ(GridOf(test::Context().console).Attr(0, 0), 0x1E);
  EXPECT_EQ(GridOf(test::Context().console).Attr(5, 5), 0x1E);
  EXPECT_EQ(GridOf(test::Context().console).ColourRgb(0), (Rgb{255, 0, 0}));
  EXPECT_EQ(GridOf(test::Context().console).ColourRgb(2), (Rgb{0, 255, 0}));
  test::Context().config.console_override = nullptr;
  test::Context().config.magnifier_override = nullptr;
}

TEST_F(ConsoleTest, WhereXReportsTheParkedColumn) {
  Start("");
  ConsoleWrite(test::Context().console, std::string(80, '-'));
  EXPECT_EQ(WhereX(test::Context().console), 81);
  EXPECT_EQ(WhereY(test::Context().console), 1);
  GotoXY(test::Context().console, 200, 200);
  EXPECT_EQ(WhereX(test::Context().console), 80);
  EXPECT_EQ(WhereY(test::Context().console), 25);
}

}  // namespace
}  // namespace kal
