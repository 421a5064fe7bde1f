// Lengths from decimal settings come out whole on every build.
#include <gtest/gtest.h>

#include "0_base/whole_part.h"

namespace kal {
namespace {

TEST(WholePart, AProductAHairBelowAWholeNumberIsThatNumber) {
  volatile double rate = 0.57;           // kept out of the compiler's constant folding
  EXPECT_EQ(WholePart(10000 * rate), 5700);  // 5699.999999999999 in binary
  EXPECT_EQ(WholePart(1739.5), 1739);
  EXPECT_EQ(WholePart(-5.5), -5);
  EXPECT_EQ(WholePart(0.0), 0);
}

}  // namespace
}  // namespace kal
