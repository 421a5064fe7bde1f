// Keys written ahead are typed one at a time: the first of a batch at once,
// each further one when the program waits; a lone Esc is followed by a pause.
#include "6_console/key_pacer.h"

#include <gtest/gtest.h>

namespace kal {
namespace {

TEST(KeyPacer, TypesOneKeyPerWait) {
  KeyPacer p;
  p.Add("a\x1b[Bb\r\nc");
  EXPECT_EQ(p.Next(0, 64), "a");  // the first key of what arrived together
  EXPECT_EQ(p.Next(0, 64), "");   // the rest waits for the program
  p.AllowNext();
  EXPECT_EQ(p.Next(0, 64), "\x1b[B");
  p.AllowNext();
  p.Withhold();  // the wait ended another way: no key now
  EXPECT_EQ(p.Next(0, 64), "");
  p.AllowNext();
  EXPECT_EQ(p.Next(0, 64), "b");
  p.AllowNext();
  EXPECT_EQ(p.Next(0, 64), "\r\n");  // CR LF is one Enter
  p.AllowNext();
  EXPECT_EQ(p.Next(0, 1), "c");
  EXPECT_TRUE(p.Empty());
  p.Add("x");  // a later batch: its first key comes at once again
  EXPECT_EQ(p.Next(0, 64), "x");
}

TEST(KeyPacer, LoneEscIsFollowedByAPauseAndAKeyWaitsForRoom) {
  KeyPacer p;
  p.Add("\x1b\xC3\xA7");
  EXPECT_EQ(p.Next(100, 64), "\x1b");
  p.AllowNext();
  EXPECT_EQ(p.Next(100 + KeyPacer::kEscPauseMs - 1, 64), "");
  EXPECT_EQ(p.Next(100 + KeyPacer::kEscPauseMs, 1), "");  // two bytes do not fit in one
  EXPECT_EQ(p.Next(100 + KeyPacer::kEscPauseMs, 2), "\xC3\xA7");
}

}  // namespace
}  // namespace kal
