// The console as one object: what one console holds another does not see,
// a hook guard gives the key input and notice writer back to the outer
// console, and a console that goes leaves nothing watched or hooked behind.
#include "6_console/console_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "0_base/console_grid.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "1_platform/pump.h"
#include "1_platform/user_notice.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/console_menu.h"
#include "5_speech/speech_state.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

TEST(ConsoleState, ANestedConsoleHasItsOwnScreenMenuAndClipboard) {
  std::string outer_text, inner_text;
  UseMemoryConsole("", &outer_text);
  ConsoleWrite(test::Context().console, "fora");
  ASSERT_TRUE(CreateConsoleMenu(Context().console, 1, 10, 20, 12));
  ASSERT_TRUE(CopyToClipboard(test::Context().console, "copiado fora"));
  {
    Console inner(Context().platform, Context().speech);
    ConsoleHookGuard use(inner, &Context().console);
    UseMemoryConsole(inner, "", &inner_text);
    ConsoleWrite(inner, "dentro\r\n");
    EXPECT_EQ(GridOf(inner).RowText(0).substr(0, 7), "dentro ");
    EXPECT_EQ(AddConsoleMenuItem(inner, "x"), MenuAdd::kNoMenu);
    EXPECT_EQ(PasteFromClipboard(inner, 100), "");
  }
  EXPECT_EQ(GridOf(Context().console).RowText(0).substr(0, 5), "fora ");
  EXPECT_EQ(AddConsoleMenuItem(Context().console, "y"), MenuAdd::kAdded);
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 100), "copiado fora");
  EXPECT_EQ(inner_text, "dentro\n");
  EXPECT_EQ(outer_text, "");  // the line is not finished yet
}

// Each console is given to the functions that work on it: two used in turn
// keep their own grids, key queues, titles and written text.
TEST(ConsoleState, TwoConsolesUsedInTurnKeepTheirOwnScreensKeysAndTitles) {
  Console& first = Context().console;
  Console second(Context().platform, Context().speech);
  ConsoleHookGuard use(second, &first);
  std::string first_text, second_text;
  UseMemoryConsole(first, "", &first_text);
  UseMemoryConsole(second, "", &second_text);
  ConsoleWrite(first, "um");
  ConsoleWrite(second, "dois\r\n");
  ConsoleWrite(first, "\r\n");
  SetConsoleTitle(first, "primeiro");
  SetConsoleTitle(second, "segundo");
  EXPECT_TRUE(PushKeyBytes(second, "xy"));
  EXPECT_EQ(KeyQueueSize(first), 0u);
  EXPECT_EQ(KeyQueueSize(second), 2u);
  EXPECT_EQ(first_text, "um\n");
  EXPECT_EQ(second_text, "dois\n");
  EXPECT_EQ(GridOf(first).RowText(0).substr(0, 3), "um ");
  EXPECT_EQ(GridOf(second).RowText(0).substr(0, 5), "dois ");
  EXPECT_EQ(ConsoleTitle(first), "primeiro");
  EXPECT_EQ(ConsoleTitle(second), "segundo");
}

// Until its screen is first used a console leaves the keys and notices
// alone (notices before main's console is up go to standard error); then it
// takes them, and its guard gives them back to the outer console, or to
// nobody.
TEST(ConsoleState, TheKeysAndNoticesFollowTheConsoleInUse) {
  Platform& platform = Context().platform;
  Console& outer = Context().console;
  EXPECT_EQ(platform.key_input, nullptr);
  EXPECT_EQ(platform.notice, nullptr);
  {
    Console inner(Context().platform, Context().speech);
    ConsoleHookGuard use(inner, &outer);
    EXPECT_EQ(platform.key_input, nullptr);
    std::string text;
    UseMemoryConsole(inner, "k", &text);
    EXPECT_EQ(platform.key_input, &inner.key_input);
    EXPECT_EQ(platform.notice, &inner.notice);
    EXPECT_EQ(ReadKey(Context().platform), 'k');
    WriteNoticeLine(Context().platform, "aviso");
    EXPECT_EQ(text, "aviso\n");
  }
  EXPECT_EQ(platform.key_input, nullptr);
  EXPECT_EQ(platform.notice, nullptr);
  EXPECT_EQ(ReadKey(Context().platform), 13);  // no key input: Enter, so that no wait hangs

  std::string text;
  UseMemoryConsole("", &text);
  {
    Console inner(Context().platform, Context().speech);
    ConsoleHookGuard use(inner, &outer);
    std::string inner_text;
    UseMemoryConsole(inner, "", &inner_text);
    EXPECT_EQ(platform.key_input, &inner.key_input);
  }
  EXPECT_EQ(platform.key_input, &outer.key_input);
  EXPECT_EQ(platform.notice, &outer.notice);
}

// A console on a platform of its own hooks there: its guard takes it off
// that platform and leaves the outer console the keys of its own.
TEST(ConsoleState, AGuardOnAnotherPlatformLeavesTheOuterHookAlone) {
  std::string text;
  UseMemoryConsole("", &text);
  Console& outer = Context().console;
  Platform other(TestLoop());
  {
    Console inner(other, Context().speech);
    ConsoleHookGuard use(inner, &outer);
    std::string inner_text;
    UseMemoryConsole(inner, "", &inner_text);
    EXPECT_EQ(other.key_input, &inner.key_input);
    EXPECT_EQ(other.notice, &inner.notice);
    EXPECT_EQ(Context().platform.key_input, &outer.key_input);
  }
  EXPECT_EQ(other.key_input, nullptr);
  EXPECT_EQ(other.notice, nullptr);
  EXPECT_EQ(Context().platform.key_input, &outer.key_input);
  EXPECT_EQ(Context().platform.notice, &outer.notice);
}

// A console used without a guard does not leave the platform pointing at
// it when it goes: a wait after it must not read keys from a console gone.
TEST(ConsoleState, AnUnguardedConsoleThatGoesLeavesNoHookBehind) {
  Platform& platform = Context().platform;
  {
    Console inner(platform, Context().speech);
    std::string text;
    UseMemoryConsole(inner, "", &text);
    EXPECT_EQ(platform.key_input, &inner.key_input);
  }
  EXPECT_EQ(platform.key_input, nullptr);
  EXPECT_EQ(platform.notice, nullptr);
  EXPECT_EQ(ReadKey(platform), 13);  // no key input: Enter, so that no wait hangs
}

// A loop that only records what it watches.
class WatchingLoop : public EventLoop {
 public:
  explicit WatchingLoop(std::set<int>* watched) : watched_(watched) {}
  int64_t NowMs() override { return 0; }
  void Wait(int) override {}
  void Watch(int fd, std::function<void()>) override { watched_->insert(fd); }
  void Unwatch(int fd) override { watched_->erase(fd); }
  void Post(std::function<void()>) override {}

 private:
  std::set<int>* watched_;
};

// A front end whose input is a descriptor that never has anything.
class QuietFrontEnd : public ConsoleFrontEnd {
 public:
  void OnWrite(std::string_view) override {}
  void Present(const ConsoleGrid&) override {}
  void SetTitle(std::string_view) override {}
  int InputFd() override { return 7; }
  int ReadInput(char*, int) override { return 0; }
};

// The loop outlives the console: a descriptor left watched would call into
// a console that is gone.
TEST(ConsoleState, AConsoleThatGoesStopsWatchingItsInput) {
  std::set<int> watched;
  WatchingLoop loop(&watched);
  {
    Platform watching(loop);
    Console console(watching, Context().speech);
    ConsoleHookGuard use(console, &Context().console);
    SetConsoleFrontEnd(console, std::make_unique<QuietFrontEnd>());
    EXPECT_EQ(watched, std::set<int>{7});
  }
  EXPECT_TRUE(watched.empty());
}

// A console speaks with the facade it was built with: a notice it
// announces is said by that facade, not by the case's.
TEST(ConsoleState, AConsoleSpeaksWithTheFacadeItWasBuiltWith) {
  std::string text;
  UseMemoryConsole("", &text);
  SpeechState other(Context().voices, Context().platform);
  other.voice_starting = true;  // what it is asked to say is held, to be seen here
  Context().speech.voice_starting = true;
  {
    Console inner(Context().platform, other);
    inner.notice.Announce("aviso");
    TestLoop().Wait(0);
  }
  EXPECT_EQ(other.held, std::vector<std::string>{"aviso"});
  EXPECT_TRUE(Context().speech.held.empty());
}

}  // namespace
}  // namespace kal::test
