// Columns between the editor's UTF-16 count and the stored Latin-1 count:
// an accented letter is one of each, a character outside Latin-1 is one
// stored '?' but one unit (within the plane) or two (past it).
#include <gtest/gtest.h>

#include "9_app/lsp_document.h"

namespace kal::test {
namespace {

TEST(LspDocument, ColumnsBothWaysAcrossEveryWidthOfCharacter) {
  // a é € 😀 b: 1, 2, 3 and 4 UTF-8 bytes; UTF-16 1, 1, 1, 2 units.
  LspDocument doc = DocumentOf("x\r\na\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "b\n");
  ASSERT_EQ(doc.stored.size(), 2u);
  EXPECT_EQ(doc.stored[1], "a\xE9??b");
  EXPECT_TRUE(doc.ends_in_newline);
  const size_t utf16[] = {0, 1, 2, 3, 5, 6};
  for (size_t stored = 0; stored < 6; ++stored) {
    EXPECT_EQ(Utf16Column(doc, 1, stored), utf16[stored]) << stored;
    EXPECT_EQ(StoredColumn(doc, 1, utf16[stored]), stored) << stored;
  }
  EXPECT_EQ(StoredColumn(doc, 1, 4), 4u);   // between the halves of the emoji: after it
  EXPECT_EQ(StoredColumn(doc, 1, 99), 5u);  // past the end: the end
  EXPECT_EQ(Utf16Column(doc, 1, 99), 6u);
  EXPECT_EQ(StoredColumn(doc, 7, 3), 0u);   // no such line
}

TEST(LspDocument, ByteOrderMarkCountsAsOneUnitBeforeTheFirstLine) {
  LspDocument doc = DocumentOf("\xEF\xBB\xBF" "SEJA $a 1\nFIM");
  ASSERT_EQ(doc.stored.size(), 2u);
  EXPECT_EQ(doc.stored[0], "SEJA $a 1");
  EXPECT_FALSE(doc.ends_in_newline);
  EXPECT_EQ(Utf16Column(doc, 0, 5), 6u);
  EXPECT_EQ(StoredColumn(doc, 0, 6), 5u);
  EXPECT_EQ(Utf16Column(doc, 1, 3), 3u);
}

}  // namespace
}  // namespace kal::test
