#include <gtest/gtest.h>

#include "9_app/line_address.h"

namespace kal {

TEST(LineAddress, FindsTheFirstAddressUpToABlank) {
  EXPECT_EQ(FindAddress("ouça HTTPS://r.example/a.mp3 agora"), "HTTPS://r.example/a.mp3");
  EXPECT_EQ(FindAddress("http://a/1 http://b/2"), "http://a/1");
  EXPECT_EQ(FindAddress("ftp://a/1 e www.b.com"), "");
  EXPECT_EQ(FindAddress("http:/"), "");
}

// Only http and https with a host, in printable ASCII, may reach the player:
// a report is outside text and could hold anything.
TEST(LineAddress, PlayableAddresses) {
  EXPECT_TRUE(IsPlayableAddress("http://127.0.0.1:8000/live"));
  EXPECT_TRUE(IsPlayableAddress("HTTPS://radio.example/a.pls?x=1&y=2"));
  EXPECT_FALSE(IsPlayableAddress("file:///etc/passwd"));
  EXPECT_FALSE(IsPlayableAddress("--input-ipc-server=/tmp/x"));
  EXPECT_FALSE(IsPlayableAddress("http://"));
  EXPECT_FALSE(IsPlayableAddress("http:///etc/passwd"));
  EXPECT_FALSE(IsPlayableAddress("http://a/b c"));
  EXPECT_FALSE(IsPlayableAddress("http://a/\n--x"));
  EXPECT_FALSE(IsPlayableAddress("http://a/r\xE1" "dio"));
  EXPECT_FALSE(IsPlayableAddress("http://a/" + std::string(kMaxPlayableAddress, 'x')));
}

TEST(LineAddress, CompactFormKeepsHostAndPathWords) {
  EXPECT_EQ(CompactAddress("http://www.radio.com.br:8000/ao-vivo/aac.mp3?x=1#y"), "radio com br ao vivo aac mp3");
  EXPECT_EQ(CompactAddress("https://user:pw@stream.example/"), "stream example");
  // Escaped UTF-8 comes back as Latin-1 letters.
  EXPECT_EQ(CompactAddress("http://a.example/r%C3%A1dio_%20x"), "a example r\xE1" "dio x");
  EXPECT_LE(CompactAddress("http://a/" + std::string(5000, 'b')).size(), 200u);
}

TEST(LineAddress, SpokenLineShortensEachAddress) {
  EXPECT_EQ(SpokenLine("1. R\xE1" "dio"), "1. R\xE1" "dio");
  EXPECT_EQ(SpokenLine("a http://x.example/p.mp3 e https://y.example/"), "a x example p mp3 e y example");
  // Accented letters belong to words; the multiplication sign does not.
  EXPECT_EQ(SpokenLine("http://x.example/r%C3%A1dio%C3%973"), "x example r\xE1" "dio 3");
}

}  // namespace kal
