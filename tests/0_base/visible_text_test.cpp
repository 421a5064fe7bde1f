#include "0_base/visible_text.h"

#include <gtest/gtest.h>

namespace kal {
namespace {

TEST(VisibleText, ControlCharactersAreShownAndTextPasses) {
  // C0 in caret form, DEL, C1 (U+009B, a CSI on many terminals) and bytes
  // that are not UTF-8 in hex; accents, other scripts and emoji pass.
  EXPECT_EQ(VisibleText("\x1b[31mvermelho\x1b[0m"), "^[[31mvermelho^[[0m");
  EXPECT_EQ(VisibleText(std::string("a\0b\x7f", 4)), "a^@b^?");
  EXPECT_EQ(VisibleText("\xC2\x9B" "2J \xC2\xA0\xC3\xA7\xE2\x82\xAC\xF0\x9F\x98\x80"),
            "\\x9b2J \xC2\xA0\xC3\xA7\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(VisibleText("\x9B\xE9 \xC3"), "\\x9b\\xe9 \\xc3");                 // Latin-1 bytes, a cut sequence
  EXPECT_EQ(VisibleText("\xE0\x80\x80\xED\xA0\x80"), "\\xe0\\x80\\x80\\xed\\xa0\\x80");  // overlong, surrogate
  // Only the controls asked for pass.
  EXPECT_EQ(VisibleText("a\tb\r\n", "\t\n"), "a\tb^M\n");
}

}  // namespace
}  // namespace kal
