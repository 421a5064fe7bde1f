#include "1_platform/linux/viewport.h"

#include <gtest/gtest.h>

namespace kal {
namespace {

TEST(Viewport, LargeOrUnknownTerminalShowsTheWholeGrid) {
  Viewport v;
  FitViewport(&v, 120, 40, 80, 25, 79, 24);
  EXPECT_EQ(v, (Viewport{0, 0, 80, 25}));
  FitViewport(&v, 0, 0, 80, 25, 80, 24);  // size unknown; parked cursor
  EXPECT_EQ(v, (Viewport{0, 0, 80, 25}));
}

TEST(Viewport, FollowsTheCursorOnBothAxesMovingAsLittleAsNeeded) {
  Viewport v;
  FitViewport(&v, 60, 20, 80, 25, 10, 5);
  EXPECT_EQ(v, (Viewport{0, 0, 60, 20}));
  FitViewport(&v, 60, 20, 80, 25, 59, 19);  // the last cell in view: no move
  EXPECT_EQ(v, (Viewport{0, 0, 60, 20}));
  FitViewport(&v, 60, 20, 80, 25, 62, 21);
  EXPECT_EQ(v, (Viewport{3, 2, 60, 20}));
  FitViewport(&v, 60, 20, 80, 25, 40, 10);  // back inside: stays
  EXPECT_EQ(v, (Viewport{3, 2, 60, 20}));
  FitViewport(&v, 60, 20, 80, 25, 0, 0);
  EXPECT_EQ(v, (Viewport{0, 0, 60, 20}));
  FitViewport(&v, 60, 20, 80, 25, 80, 24);  // parked past the last column
  EXPECT_EQ(v, (Viewport{20, 5, 60, 20}));
}

TEST(Viewport, GrowingTerminalPullsTheOriginBackIntoTheGrid) {
  Viewport v;
  FitViewport(&v, 40, 10, 80, 25, 79, 24);
  EXPECT_EQ(v, (Viewport{40, 15, 40, 10}));
  FitViewport(&v, 70, 22, 80, 25, 79, 24);
  EXPECT_EQ(v, (Viewport{10, 3, 70, 22}));
  FitViewport(&v, 1, 1, 80, 25, 5, 7);  // a single cell: the cursor's
  EXPECT_EQ(v, (Viewport{5, 7, 1, 1}));
}

}  // namespace
}  // namespace kal
