#include "6_console/small_terminal.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "1_platform/host.h"

namespace kal::test {
namespace {

TEST(SmallTerminal, WrapsAtBlanksWithinTheColumns) {
  using Lines = std::vector<std::string>;
  std::string notice = "Terminal menor que 80 por 25: a tela acompanha o cursor.";
  EXPECT_EQ(WrapText(notice, 50), (Lines{"Terminal menor que 80 por 25: a tela acompanha o", "cursor."}));
  EXPECT_EQ(WrapText(notice, 0), Lines{notice});
  EXPECT_EQ(WrapText("abc def", 3), (Lines{"abc", "def"}));
  EXPECT_EQ(WrapText("abcdefg hi", 4), (Lines{"abcd", "efg", "hi"}));  // a word too long is cut
  for (int width = 1; width <= 60; ++width)
    for (const std::string& line : WrapText(notice, width)) EXPECT_LE(line.size(), static_cast<size_t>(width));
}

// The mark lives in the environment, which the programs this one starts
// inherit: told once on a terminal, again on another one.
TEST(SmallTerminal, ToldOncePerTerminalAndInheritedByChildren) {
  SetEnvironment("KALDORIN_SMALL_TERMINAL_TOLD", "");
  EXPECT_FALSE(SmallTerminalToldBefore("/dev/pts/7"));
  EXPECT_TRUE(SmallTerminalToldBefore("/dev/pts/7"));
#ifndef _WIN32
  EXPECT_EQ(std::system("test \"$KALDORIN_SMALL_TERMINAL_TOLD\" = tty:/dev/pts/7"), 0);
#endif
  EXPECT_FALSE(SmallTerminalToldBefore("/dev/pts/8"));
  EXPECT_FALSE(SmallTerminalToldBefore(""));
  EXPECT_TRUE(SmallTerminalToldBefore(""));
  SetEnvironment("KALDORIN_SMALL_TERMINAL_TOLD", "");
}

}  // namespace
}  // namespace kal::test
