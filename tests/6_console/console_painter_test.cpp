// The frames a window is asked to paint: only what changed, in runs of one
// colour pair, the strip with its enlargement, scrolling by copy.
#include <gtest/gtest.h>

#include "0_base/console_grid.h"
#include "6_console/console_painter.h"

namespace kal {
namespace {

std::string Texts(const PaintFrame& f) {
  std::string s;
  for (const CellRun& r : f.runs) s += std::to_string(r.column) + "," + std::to_string(r.row) + ":" + r.text + "|";
  return s;
}

TEST(ConsolePainter, FirstFrameIsFullThenOnlyChangedCellsInRunsOfOneColour) {
  ConsoleGrid g(8, 3);
  ConsolePainter p;
  PaintFrame f = p.Frame(g, false);
  EXPECT_TRUE(f.full);
  ASSERT_EQ(f.runs.size(), 3u);
  EXPECT_EQ(f.runs[0].text, "        ");
  EXPECT_EQ(f.runs[0].fg, (Rgb{255, 255, 255}));
  EXPECT_TRUE(p.Frame(g, false).runs.empty());
  g.GotoXY(2, 2);
  g.Write("ab");
  g.TextColor(14);
  g.TextBackground(1);
  g.Write("cd");
  f = p.Frame(g, false);
  EXPECT_FALSE(f.full);
  EXPECT_EQ(Texts(f), "1,1:ab|3,1:cd|");
  EXPECT_EQ(f.runs[1].fg, (Rgb{255, 255, 0}));
  EXPECT_EQ(f.runs[1].bg, (Rgb{0, 0, 255}));
  EXPECT_EQ(f.cursor_column, 5);
  EXPECT_EQ(f.cursor_row, 1);
  // Writing the same text again changes nothing to paint.
  g.GotoXY(4, 2);
  g.Write("cd");
  EXPECT_EQ(Texts(p.Frame(g, false)), "");
  EXPECT_EQ(p.Frame(g, true).runs.size(), 5u);  // asked for in full
}

TEST(ConsolePainter, ColourTableChangeRepaintsEverythingInTheNewColours) {
  ConsoleGrid g(4, 2);
  ConsolePainter p;
  p.Frame(g, false);
  g.set_colour_entry(0, 4);
  PaintFrame f = p.Frame(g, false);
  EXPECT_TRUE(f.full);
  EXPECT_EQ(f.runs[0].bg, (Rgb{255, 0, 0}));
}

TEST(ConsolePainter, SlowScrollMovesThePaintedRowsAndPaintsOnlyTheNewOne) {
  ConsoleGrid g(4, 3);
  ConsolePainter p;
  p.set_slow_scroll(true);
  g.Write("aaaa\r\nbbbb\r\ncccc");
  p.Frame(g, false);
  g.Write("\r\ndd");
  PaintFrame f = p.Frame(g, false);
  EXPECT_EQ(f.scrolled_rows, 1);
  EXPECT_EQ(Texts(f), "0,2:dd  |");
  // Without it the rows that changed are painted again.
  ConsoleGrid h(4, 3);
  ConsolePainter q;
  h.Write("aaaa\r\nbbbb\r\ncccc");
  q.Frame(h, false);
  h.Write("\r\ndd");
  f = q.Frame(h, false);
  EXPECT_EQ(f.scrolled_rows, 0);
  EXPECT_EQ(Texts(f), "0,0:bbbb|0,1:cccc|0,2:dd  |");
  // More rows than the grid holds: everything is new.
  g.Write("\r\n\r\n\r\n\r\nee");
  f = p.Frame(g, false);
  EXPECT_EQ(f.scrolled_rows, 0);
  EXPECT_EQ(f.runs.size(), 3u);
}

TEST(ConsolePainter, StripCarriesItsFactorAndCellsAndIsSentOnlyWhenItChanges) {
  ConsoleGrid g(12, 3);
  ConsolePainter p;
  p.Frame(g, false);
  g.SetTopOverlay("abcdefgh", {0x6E, 0x6E, 0x63, 0x6E}, 3);
  PaintFrame f = p.Frame(g, false);
  EXPECT_TRUE(f.strip_changed);
  EXPECT_EQ(f.strip_factor, 3);
  ASSERT_EQ(f.strip_runs.size(), 3u);  // 12 / 3 = 4 cells: ab, c (cursor colour), d
  EXPECT_EQ(f.strip_runs[0].text, "ab");
  EXPECT_EQ(f.strip_runs[1].fg, (Rgb{0, 255, 255}));
  EXPECT_EQ(f.strip_runs[2].text, "d");
  EXPECT_TRUE(f.runs.empty());  // the cells under the strip are not touched
  EXPECT_FALSE(p.Frame(g, false).strip_changed);
  g.ClearTopOverlay();
  f = p.Frame(g, false);
  EXPECT_TRUE(f.strip_changed);
  EXPECT_EQ(f.strip_factor, 0);
}

// The strip never hides the line being typed or the question above it:
// while either is among the rows the enlarged strip covers, it moves to the
// bottom rows.
TEST(ConsolePainter, StripMovesToTheBottomWhileTheCursorIsUnderIt) {
  ConsoleGrid g(12, 10);
  ConsolePainter p;
  p.Frame(g, false);
  g.GotoXY(1, 3);  // the third row: under a strip three rows high
  g.SetTopOverlay("abcd", std::vector<uint8_t>(4, 0x6E), 3);
  PaintFrame f = p.Frame(g, false);
  EXPECT_TRUE(f.strip_changed);
  EXPECT_EQ(f.strip_row, 7);
  ASSERT_FALSE(f.strip_runs.empty());
  EXPECT_EQ(f.strip_runs[0].text.substr(0, 2), "ab");
  g.GotoXY(1, 4);  // right below it: the question above is still covered
  EXPECT_FALSE(p.Frame(g, false).strip_changed);
  g.GotoXY(1, 5);  // further down: back to the top
  f = p.Frame(g, false);
  EXPECT_TRUE(f.strip_changed);
  EXPECT_EQ(f.strip_row, 0);
  ASSERT_FALSE(f.strip_runs.empty());
  EXPECT_EQ(f.strip_runs[0].text.substr(0, 2), "ab");
  g.GotoXY(6, 5);
  EXPECT_FALSE(p.Frame(g, false).strip_changed);
}

TEST(ConsolePainter, ParkedCursorKeepsTheCaretInTheLastColumn) {
  ConsoleGrid g(4, 2);
  ConsolePainter p;
  g.Write("abcd");
  PaintFrame f = p.Frame(g, false);
  EXPECT_EQ(g.X(), 4);
  EXPECT_EQ(f.cursor_column, 3);
}

}  // namespace
}  // namespace kal
