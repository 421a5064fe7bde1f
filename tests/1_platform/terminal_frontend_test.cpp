// The terminal front end on a pseudo-terminal, in process: what it sends to
// the terminal and how it reads keys from it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "6_console/console.h"
#include "1_platform/event_loop.h"
#include "1_platform/pty.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

class TerminalFrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseRealLoop();
    ASSERT_TRUE(OpenPseudoTerminal(100, 30, &pty_));
    std::string unused;
    test::UseMemoryConsole("", &unused);
    TerminalOptions opts;
    opts.truecolor = false;
    opts.handle_signals = false;
    auto front = MakeTerminalFrontEnd(test::Context().platform, pty_.slave, pty_.slave, opts);
    ASSERT_NE(front, nullptr);
    SetConsoleFrontEnd(test::Context().console, std::move(front));
  }
  void TearDown() override {
    SetConsoleFrontEnd(test::Context().console, nullptr);
    ClosePseudoTerminal(&pty_);
  }
  std::string Screen() {
    std::string out;
    DrainPseudoTerminal(pty_.master, 50, &out);
    return out;
  }
  // Types bytes and waits (at most a second) for a key to arrive.
  bool Type(const std::string& bytes) {
    WriteToPseudoTerminal(pty_.master, bytes);
    for (int i = 0; i < 100; ++i) {
      if (KeyPressed(test::Context().platform)) return true;
      Delay(test::Context().platform, 10);
    }
    return false;
  }
  PseudoTerminal pty_;
};

TEST_F(TerminalFrontEndTest, EntersTheAlternateScreenAndDrawsWhatIsWritten) {
  std::string start = Screen();
  EXPECT_NE(start.find("\x1b[?1049h"), std::string::npos);
  EXPECT_NE(start.find("\x1b[?1006h"), std::string::npos);  // mouse reports
  ConsoleWrite(test::Context().console, "ol\xe1");
  std::string s = Screen();
  EXPECT_NE(s.find("ol\xc3\xa1"), std::string::npos);
  EXPECT_NE(s.find("\x1b[97;40m"), std::string::npos);  // white on black, 16 colours
}

TEST_F(TerminalFrontEndTest, KeysAreDecodedFromTheRawTerminal) {
  ASSERT_TRUE(Type("\x1b[A"));
  EXPECT_EQ(ReadKey(test::Context().platform), 0);
  EXPECT_EQ(ReadKey(test::Context().platform), 72);
  ASSERT_TRUE(Type("\r"));
  EXPECT_EQ(ReadKey(test::Context().platform), 13);  // no CR-to-LF translation in raw mode
  ASSERT_TRUE(Type("\x03"));
  EXPECT_EQ(ReadKey(test::Context().platform), 3);  // Ctrl+C is a key, not a signal
  ASSERT_TRUE(Type("\xc3\xa7"));
  EXPECT_EQ(ReadKey(test::Context().platform), 0xE7);
  ASSERT_TRUE(Type("\x1b"));  // a lone Esc after the pause
  EXPECT_EQ(ReadKey(test::Context().platform), 27);
}

TEST_F(TerminalFrontEndTest, CaretIsShownOnlyWhileWaitingForAKey) {
  EXPECT_NE(Screen().find("\x1b[?25l"), std::string::npos);
  std::thread typist([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    WriteToPseudoTerminal(pty_.master, "k");
  });
  EXPECT_EQ(ReadKey(test::Context().platform), 'k');
  typist.join();
  std::string s = Screen();
  size_t on = s.find("\x1b[?25h"), off = s.find("\x1b[?25l");
  ASSERT_NE(on, std::string::npos);
  ASSERT_NE(off, std::string::npos);
  EXPECT_LT(on, off);
}

TEST_F(TerminalFrontEndTest, TitleIsSentAsUtf8) {
  Screen();
  SetConsoleTitle(test::Context().console, "T\xedtulo\x07");
  EXPECT_EQ(Screen(), "\x1b]0;T\xc3\xadtulo\a");
}

TEST_F(TerminalFrontEndTest, SuspendHandsTheTerminalOverUntilResume) {
  ConsoleWrite(test::Context().console, "antes");
  Screen();
  SuspendConsole(test::Context().console);
  EXPECT_NE(Screen().find("\x1b[?1049l"), std::string::npos);
  WriteToPseudoTerminal(pty_.master, "a");
  Delay(test::Context().platform, 50);
  EXPECT_FALSE(KeyPressed(test::Context().platform));  // the key is for the program in front
  ResumeConsole(test::Context().console);
  std::string back = Screen();
  EXPECT_NE(back.find("\x1b[?1049h"), std::string::npos);
  EXPECT_NE(back.find("antes"), std::string::npos);  // drawn again
  ASSERT_TRUE(Type(""));
  EXPECT_EQ(ReadKey(test::Context().platform), 'a');
}

TEST_F(TerminalFrontEndTest, NormalEndLeavesTheScreenAndSetsTheTitle) {
  ConsoleWrite(test::Context().console, "linha um   \r\n");
  Screen();
  EndConsoleNormally(test::Context().console);
  std::string s = Screen();
  EXPECT_NE(s.find("\x1b]0;Programa terminado\a"), std::string::npos);
  size_t left = s.find("\x1b[?1049l");
  ASSERT_NE(left, std::string::npos);
  // The last screen's text follows on the normal screen, as plain lines.
  EXPECT_EQ(s.substr(s.size() - 10), "linha um\r\n") << s;
  ConsoleWrite(test::Context().console, "depois");
  EXPECT_EQ(Screen().find("depois"), std::string::npos);  // nothing is drawn any more
}

}  // namespace
}  // namespace kal
