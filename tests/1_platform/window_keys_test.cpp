// The bytes a window's keys and mouse become, and the cell sizes a window
// gets, whatever window system it is.
#include "1_platform/window_keys.h"

#include <gtest/gtest.h>

#include "1_platform/window_layout.h"

namespace kal {
namespace {

TEST(WindowKeys, NamedKeysCarryTheirModifiers) {
  EXPECT_EQ(WindowKeyDown(kWinKeyF1, 0), "\x1bOP");
  EXPECT_EQ(WindowKeyDown(kWinKeyF12, kWinModShift), "\x1b[24;2~");
  EXPECT_EQ(WindowKeyDown(kWinKeyLeft, kWinModCtrl), "\x1b[1;5D");
  // Either Alt counts for named keys.
  EXPECT_EQ(WindowKeyDown(kWinKeyUp, kWinModRightAlt), "\x1b[1;3A");
  EXPECT_EQ(WindowKeyDown(kWinKeyTab, kWinModShift), "\x1b[Z");
  EXPECT_EQ(WindowKeyDown(kWinKeyTab, 0), "\t");
  EXPECT_EQ(WindowKeyDown(kWinKeyEnter, 0), "\x1b[13;1u");
  EXPECT_EQ(WindowKeyDown(kWinKeyBackspace, kWinModCtrl), "\x1b[127;5u");
}

TEST(WindowKeys, CharactersAreKeysOnlyWithCtrlOrTheLeftAlt) {
  EXPECT_EQ(WindowKeyDown('a', 0), "");
  EXPECT_EQ(WindowKeyDown('a', kWinModShift), "");
  EXPECT_EQ(WindowKeyDown('x', kWinModLeftAlt), "\x1b[120;3u");
  EXPECT_EQ(WindowKeyDown('c', kWinModCtrl | kWinModShift), "\x1b[99;6u");
  // AltGr gives text, not a key.
  EXPECT_EQ(WindowKeyDown('q', kWinModRightAlt), "");
  EXPECT_FALSE(TextTakenByKeyDown(kWinModRightAlt | kWinModShift));
  EXPECT_TRUE(TextTakenByKeyDown(kWinModCtrl));
  // Pause is the break key only with Ctrl.
  EXPECT_EQ(WindowKeyDown(kWinKeyBreak, 0), "");
  EXPECT_EQ(WindowKeyDown(kWinKeyBreak, kWinModCtrl), "\x1b[57362;5u");
  EXPECT_EQ(WindowKeyDown(kWinKeyNone, kWinModCtrl), "");
}

TEST(WindowKeys, ReleasesAreReportedForChordKeysOnly) {
  EXPECT_EQ(WindowKeyUp('f', 0), "\x1b[102;1:3u");
  EXPECT_EQ(WindowKeyUp(' ', kWinModShift), "\x1b[32;2:3u");
  EXPECT_EQ(WindowKeyUp(kWinKeyEnter, 0), "\x1b[13;1:3u");
  EXPECT_EQ(WindowKeyUp(kWinKeyF1 + 4, 0), "");
  EXPECT_EQ(WindowKeyUp(kWinKeyNone, 0), "");
}

TEST(WindowKeys, MouseButtonsAndWheel) {
  EXPECT_EQ(WindowMouseButton(0), "\x1b[<0;1;1M");
  EXPECT_EQ(WindowMouseButton(2), "\x1b[<2;1;1M");
  EXPECT_EQ(WindowMouseButton(3), "");
  EXPECT_EQ(WindowMouseButton(-1), "");
  EXPECT_EQ(WindowWheel(120), "\x1b[<64;1;1M");
  EXPECT_EQ(WindowWheel(-1), "\x1b[<65;1;1M");
  EXPECT_EQ(WindowWheel(0), "");
}

TEST(WindowLayout, CellSizesFromTheWorkAreaAndTheWindow) {
  int w = 0, h = 0;
  FitCellToWorkArea(1024, 734, 80, 25, &w, &h);
  EXPECT_EQ(w, 12);  // 13 does not fit 80 columns into 1024
  EXPECT_EQ(h, 28);
  w = 10, h = 0;  // a width from Talven.ini stays
  FitCellToWorkArea(1920, 1040, 80, 25, &w, &h);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 40);
  w = h = 0;  // a work area the system could not give
  FitCellToWorkArea(0, 0, 80, 25, &w, &h);
  EXPECT_EQ(w, 12);
  w = h = 0;  // a tiny desktop still gets the smallest cell
  FitCellToWorkArea(100, 50, 80, 25, &w, &h);
  EXPECT_EQ(w, kMinCellWidth);
  EXPECT_EQ(h, kMinCellHeight);
  CellOfWindow(960, 725, 80, 25, &w, &h);
  EXPECT_EQ(w, 12);
  EXPECT_EQ(h, 29);
  CellOfWindow(0, 0, 80, 25, &w, &h);
  EXPECT_EQ(w, kMinCellWidth);
  EXPECT_EQ(h, kMinCellHeight);
}

TEST(WindowLayout, TitlesLoseControlCharacters) {
  EXPECT_EQ(PrintableTitle("a\tb\nc\x1b[31m\x85 \xe7"), "abc[31m \xe7");
}

}  // namespace
}  // namespace kal
