#include "0_base/console_grid.h"

#include <gtest/gtest.h>

#include <string>

namespace kal {
namespace {

TEST(ConsoleGrid, FullRowParksTheCursorAndWrapsOnlyOnTheNextCharacter) {
  ConsoleGrid g;
  g.Write(std::string(80, 'x'));
  EXPECT_EQ(g.X(), 80);  // reported as column 81
  EXPECT_EQ(g.Y(), 0);
  g.Write("y");
  EXPECT_EQ(g.Cell(0, 1), 'y');
  EXPECT_EQ(g.X(), 1);
  EXPECT_EQ(g.Y(), 1);
}

TEST(ConsoleGrid, CarriageReturnWhileParkedDoesNotWrap) {
  ConsoleGrid g;
  g.Write(std::string(80, 'x') + "\r");
  EXPECT_EQ(g.X(), 0);
  EXPECT_EQ(g.Y(), 0);
}

TEST(ConsoleGrid, LineFeedOnBottomRowScrollsAndFillsWithCurrentAttribute) {
  ConsoleGrid g;
  g.GotoXY(1, 1);
  g.Write("top");
  g.GotoXY(5, 25);
  g.Write("bottom");
  g.set_attribute(0x1E);
  g.Write("\n");
  EXPECT_EQ(g.X(), 0);
  EXPECT_EQ(g.Y(), 24);
  EXPECT_EQ(g.RowText(23).substr(4, 6), "bottom");
  EXPECT_EQ(g.RowText(0), std::string(80, ' '));  // "top" scrolled away
  EXPECT_EQ(g.RowText(24), std::string(80, ' '));
  for (int x = 0; x < 80; ++x) EXPECT_EQ(g.Attr(x, 24), 0x1E);
  EXPECT_EQ(g.scroll_count(), 1u);
}

TEST(ConsoleGrid, LineFeedReturnsTheCarriage) {
  ConsoleGrid g;
  g.Write("abc\ndef");
  EXPECT_EQ(g.RowText(1).substr(0, 3), "def");
}

TEST(ConsoleGrid, ControlBytesOtherThanTheKnownOnesAreIgnored) {
  ConsoleGrid g;
  g.Write("a\tb\x01\x1b" "c");
  EXPECT_EQ(g.RowText(0).substr(0, 4), "abc ");
  EXPECT_EQ(g.X(), 3);
}

TEST(ConsoleGrid, BackspaceBlanksTheCellBeforeAndDoesNothingAtColumnOne) {
  ConsoleGrid g;
  g.Write("\b");
  EXPECT_EQ(g.X(), 0);
  g.set_attribute(0x02);
  g.Write("ab");
  g.set_attribute(0x04);
  g.Write("\b");
  EXPECT_EQ(g.X(), 1);
  EXPECT_EQ(g.Cell(1, 0), ' ');
  EXPECT_EQ(g.Attr(1, 0), 0x02);  // the attribute stays
}

TEST(ConsoleGrid, BellIsCountedNotStored) {
  ConsoleGrid g;
  g.Write("\a\a");
  EXPECT_EQ(g.bells(), 2u);
  EXPECT_EQ(g.X(), 0);
}

TEST(ConsoleGrid, GotoXYClampsIntoTheGrid) {
  ConsoleGrid g;
  g.GotoXY(0, 0);
  EXPECT_EQ(g.X(), 0);
  EXPECT_EQ(g.Y(), 0);
  g.GotoXY(200, 200);
  EXPECT_EQ(g.X(), 79);
  EXPECT_EQ(g.Y(), 24);
  g.GotoXY(-5, 3);
  EXPECT_EQ(g.X(), 0);
  EXPECT_EQ(g.Y(), 2);
}

TEST(ConsoleGrid, ClearAndClearEolUseTheCurrentAttribute) {
  ConsoleGrid g;
  g.Write("hello world");
  g.GotoXY(6, 1);
  g.set_attribute(0x47);
  g.ClearEol();
  EXPECT_EQ(g.RowText(0).substr(0, 6), "hello ");
  EXPECT_EQ(g.Attr(4, 0), 0x0F);
  EXPECT_EQ(g.Attr(5, 0), 0x47);
  EXPECT_EQ(g.Attr(79, 0), 0x47);
  EXPECT_EQ(g.X(), 5);  // the cursor stays
  g.Clear();
  EXPECT_EQ(g.RowText(0), std::string(80, ' '));
  EXPECT_EQ(g.Attr(0, 24), 0x47);
  EXPECT_EQ(g.X(), 0);
}

TEST(ConsoleGrid, FixedColoursIgnoreTextColorAndBackground) {
  ConsoleGrid g(80, 25, 0x0F);
  g.TextColor(4);
  g.TextBackground(1);
  EXPECT_EQ(g.attribute(), 0x14);
  g.set_colours_allowed(false);
  g.TextColor(2);
  g.TextBackground(7);
  EXPECT_EQ(g.attribute(), 0x14);
}

TEST(ConsoleGrid, ColourTableTextStopsAtTheLastCommaTerminatedNumber) {
  std::array<int, 16> t;
  for (int i = 0; i < 16; ++i) t[i] = i;
  ParseColourTable("4,1", &t);
  EXPECT_EQ(t[0], 4);
  EXPECT_EQ(t[1], 1);
  EXPECT_EQ(t[2], 2);
  EXPECT_EQ(t[15], 15);
  ParseColourTable("7, 8,x,9", &t);
  EXPECT_EQ(t[0], 7);
  EXPECT_EQ(t[1], 8);
  EXPECT_EQ(t[2], 2);  // stopped at "x"
  ParseColourTable("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,0,5", &t);
  EXPECT_EQ(t[15], 0);
}

TEST(ConsoleGrid, ColourEntriesMapToTheFixedPaletteAndOutOfRangeIsBlack) {
  ConsoleGrid g;
  g.set_colour_entry(0, 4);
  EXPECT_EQ(g.ColourRgb(0), (Rgb{255, 0, 0}));
  EXPECT_EQ(g.ColourRgb(6), (Rgb{68, 34, 34}));
  g.set_colour_entry(3, 16);
  EXPECT_EQ(g.ColourRgb(3), (Rgb{0, 0, 0}));
  g.set_colour_entry(3, -1);
  EXPECT_EQ(g.ColourRgb(3), (Rgb{0, 0, 0}));
}

TEST(ConsoleGrid, TopOverlayHidesTheRowWithoutChangingIt) {
  ConsoleGrid g;
  g.Write("text\r\n\r\n");  // the cursor off the top rows
  g.SetTopOverlay("BIG", {0x63, 0x63, 0x63});
  EXPECT_EQ(g.ShownCell(0, 0), 'B');
  EXPECT_EQ(g.ShownAttr(1, 0), 0x63);
  EXPECT_EQ(g.ShownCell(3, 0), ' ');
  EXPECT_EQ(g.Cell(0, 0), 't');
  g.ClearTopOverlay();
  EXPECT_EQ(g.ShownCell(0, 0), 't');
}

// A terminal shows the overlay one row high: on the bottom row while the
// cursor is on the top row or the one below it (the question stays in view).
TEST(ConsoleGrid, OverlayKeepsOffTheCursorsRow) {
  ConsoleGrid g;
  g.Write("pergunta: ");
  g.SetTopOverlay("BIG", {0x63});
  EXPECT_EQ(g.OverlayRow(1), 24);
  EXPECT_EQ(g.OverlayRow(4), 21);
  EXPECT_EQ(g.ShownCell(0, 0), 'p');
  EXPECT_EQ(g.ShownCell(0, 24), 'B');
  g.GotoXY(1, 5);  // the fifth row, below four the overlay covers
  EXPECT_EQ(g.OverlayRow(4), 21);
  EXPECT_EQ(g.OverlayRow(3), 0);
  EXPECT_EQ(g.ShownCell(0, 0), 'B');
  EXPECT_EQ(g.ShownCell(0, 24), ' ');
}

}  // namespace
}  // namespace kal
