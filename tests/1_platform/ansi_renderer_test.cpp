#include "1_platform/linux/ansi_renderer.h"

#include <gtest/gtest.h>

#include "0_base/latin1.h"

namespace kal {
namespace {

TEST(AnsiRenderer, FirstDrawingPaintsEveryCellThenNothingIsResent) {
  ConsoleGrid g;
  AnsiRenderer r(80, 25, true);
  std::string first = r.Render(g);
  EXPECT_GT(first.size(), 2000u);
  EXPECT_EQ(r.Render(g), "");
}

TEST(AnsiRenderer, OneChangedCellSendsAHandfulOfBytes) {
  ConsoleGrid g;
  AnsiRenderer r(80, 25, true);
  r.Render(g);
  g.GotoXY(40, 12);
  g.Write("x");
  g.GotoXY(1, 1);
  std::string s = r.Render(g);
  EXPECT_EQ(s, "\x1b[12;40Hx\x1b[1H");
}

TEST(AnsiRenderer, ColourChangeSendsTheTableColoursOnce) {
  ConsoleGrid g;
  g.set_colour_entry(1, 4);  // colour 1 paints red
  AnsiRenderer r(80, 25, true);
  r.Render(g);
  g.TextColor(1);
  g.TextBackground(14);
  g.Write("ab");
  std::string s = r.Render(g);
  EXPECT_EQ(s, "\x1b[38;2;255;0;0;48;2;255;255;0mab");  // the cursor was there already
}

TEST(AnsiRenderer, SixteenColourTerminalGetsTheNearestStandardColours) {
  ConsoleGrid g;
  AnsiRenderer r(80, 25, false);
  r.Render(g);
  g.TextColor(12);  // 255,128,128: nearest bright red
  g.TextBackground(1);
  g.Write("a");
  EXPECT_EQ(r.Render(g), "\x1b[91;44ma");
  g.TextColor(8);  // dark grey stays apart from black
  g.TextBackground(0);
  g.Write("b");
  EXPECT_EQ(r.Render(g), "\x1b[90;40mb");
}

TEST(AnsiRenderer, ScrollingIsSentAsALineFeedNotAsTheWholeScreen) {
  ConsoleGrid g;
  AnsiRenderer r(80, 25, true);
  g.Write("first line\r\n");
  r.Render(g);
  g.GotoXY(1, 25);
  g.Write("last\r\n");
  std::string s = r.Render(g);
  // The bottom row, scrolled in, is drawn; nothing above it.
  EXPECT_LT(s.size(), 200u);
  EXPECT_NE(s.find("\x1b[25H\n"), std::string::npos);
  EXPECT_NE(s.find("last"), std::string::npos);
  EXPECT_EQ(s.find("first"), std::string::npos);
}

TEST(AnsiRenderer, Latin1IsSentAsUtf8AndControlRangeIsMadeSafe) {
  EXPECT_EQ(DisplayUtf8(0xE7), "\xc3\xa7");
  EXPECT_EQ(DisplayUtf8('a'), "a");
  EXPECT_EQ(DisplayUtf8(0x80), "\xe2\x82\xac");
  EXPECT_EQ(DisplayUtf8(0x81), "?");
  EXPECT_EQ(DisplayUtf8(0x9B), "\xe2\x80\xba");  // never a C1 CSI
  EXPECT_EQ(DisplayUtf8(0x7F), "?");
}

TEST(AnsiRenderer, OverlayIsDrawnAndItsRemovalRestoresTheRow) {
  ConsoleGrid g;
  AnsiRenderer r(80, 25, true);
  g.Write("abc\r\n\r\n");  // the cursor off the top rows
  r.Render(g);
  g.SetTopOverlay("Z", {0x0F});
  std::string on = r.Render(g);
  EXPECT_NE(on.find('Z'), std::string::npos);
  g.ClearTopOverlay();
  std::string off = r.Render(g);
  EXPECT_NE(off.find('a'), std::string::npos);
}

TEST(AnsiRenderer, SmallTerminalShowsTheCellsAroundTheCursor) {
  ConsoleGrid g;
  AnsiRenderer r(80, 25, false);
  r.SetTerminalSize(10, 3);
  EXPECT_TRUE(r.SmallerThan(80, 25));
  EXPECT_EQ(r.Setup(), "\x1b[1;3r");
  g.GotoXY(1, 5);
  g.Write("abcdefghijkl");  // cursor at column 13 of row 5
  std::string s = r.Render(g);
  EXPECT_EQ(r.viewport(), (Viewport{3, 2, 10, 3}));
  // Terminal row 3 is grid row 5 from column 4 on; the cursor after "l".
  EXPECT_NE(s.find("\x1b[3Hdefghijkl "), std::string::npos) << s;
  EXPECT_EQ(s.substr(s.size() - 7), "\x1b[3;10H");
  EXPECT_EQ(s.find('\x1b', s.find("\x1b[3H") + 1), s.size() - 7) << "nothing drawn past row 3";
  EXPECT_EQ(r.Render(g), "");
}

TEST(AnsiRenderer, ScreenTextTrimsBlanksAndTrailingEmptyRows) {
  ConsoleGrid g;
  g.Write("\r\nprimeira   \r\n\r\n  a\xe7\xe3o\x85");
  EXPECT_EQ(ScreenText(g), "\nprimeira\n\n  a\xc3\xa7\xc3\xa3o\xe2\x80\xa6\n");
  EXPECT_EQ(ScreenText(ConsoleGrid()), "");
}

}  // namespace
}  // namespace kal
