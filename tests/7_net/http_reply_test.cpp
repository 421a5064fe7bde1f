// Reply heads and the chunked decoder, away from any socket: the checks that
// keep a broken or contradictory reply from being saved as a good one.
#include <gtest/gtest.h>

#include "7_net/http_chunked.h"
#include "7_net/http_reply.h"

namespace kal {
namespace {

ReplyHead HeadOf(std::initializer_list<const char*> lines) {
  ReplyHead head;
  for (const char* l : lines) TakeHeader(l, &head);
  return head;
}

TEST(ReplyHeadTest, LengthsCodingsAndRanges) {
  EXPECT_EQ(HeadOf({"Content-Length: 42"}).length, 42);
  EXPECT_FALSE(HeadOf({"Content-Length: 42", "content-length:42"}).broken);
  EXPECT_TRUE(HeadOf({"Content-Length: 42", "Content-Length: 43"}).broken);
  EXPECT_TRUE(HeadOf({"Content-Length: 4x"}).broken);
  EXPECT_TRUE(HeadOf({"Content-Length: -1"}).broken);
  EXPECT_TRUE(HeadOf({"Transfer-Encoding: Chunked"}).chunked);
  EXPECT_TRUE(HeadOf({"Transfer-Encoding: gzip, chunked"}).broken);
  EXPECT_EQ(HeadOf({"Content-Range: bytes 100-199/200"}).range_start, 100);
  EXPECT_EQ(HeadOf({"Content-Range: bytes */200"}).range_start, -1);
  EXPECT_EQ(HeadOf({"Location: \t/a b "}).location, "/a b");
  EXPECT_EQ(HeadOf({"Location: /a\r"}).location, "/a\r");
}

TEST(ReplyHeadTest, RedirectionTargetsAndOrigins) {
  EXPECT_TRUE(SafeLocation("http://h/a?b=c"));
  EXPECT_FALSE(SafeLocation("/a\rX-Injected: 1"));
  EXPECT_FALSE(SafeLocation("/a\x7f"));
  EXPECT_FALSE(SafeLocation(""));
  EXPECT_TRUE(FollowableScheme("HTTPS://h/"));
  EXPECT_TRUE(FollowableScheme("http://h/"));
  EXPECT_FALSE(FollowableScheme("gopher://h:70/"));
  EXPECT_FALSE(FollowableScheme("httpx://h/"));
  EXPECT_TRUE(SameOrigin("http://Host/a", "http://host:80/b"));
  EXPECT_FALSE(SameOrigin("http://host/a", "http://other/a"));
  EXPECT_FALSE(SameOrigin("http://host/a", "http://host:8080/a"));
  EXPECT_FALSE(SameOrigin("https://host/a", "http://host:443/a"));
}

std::string Decode(ChunkedDecoder& d, std::string_view wire, bool* ok, size_t step = 1) {
  std::string out;
  *ok = true;
  for (size_t i = 0; i < wire.size() && *ok; i += step) *ok = d.Feed(wire.substr(i, step), &out);
  return out;
}

TEST(ChunkedDecoderTest, DecodesInAnySplitAndPassesOverTrailers) {
  const std::string wire = "5\r\nhello\r\n1;ext=1\r\n \r\nA\r\n0123456789\r\n0\r\nX-Sum: 1\r\n\r\nafter";
  for (size_t step : {1u, 2u, 7u, 100u}) {
    ChunkedDecoder d;
    bool ok;
    EXPECT_EQ(Decode(d, wire, &ok, step), "hello 0123456789") << step;
    EXPECT_TRUE(ok);
    EXPECT_TRUE(d.Done());
  }
  ChunkedDecoder cut;
  bool ok;
  Decode(cut, "5\r\nhel", &ok);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(cut.Done());
}

TEST(ChunkedDecoderTest, BrokenFramingFails) {
  std::string many_trailers = "0\r\n";
  for (int i = 0; i < 70; ++i) many_trailers += "X-T: " + std::string(1000, 'a') + "\r\n";
  for (const std::string& wire : {std::string("x\r\n"), std::string("5\r\nhelloX\r\n"), std::string("5z\r\nhello\r\n"),
                                  std::string("10000000000000000\r\n"), std::string(ChunkedDecoder::kMaxLine + 1, '0'),
                                  many_trailers}) {
    ChunkedDecoder d;
    bool ok;
    Decode(d, wire, &ok, 64);
    EXPECT_FALSE(ok) << wire.substr(0, 20);
    EXPECT_FALSE(d.Done());
    std::string out;
    EXPECT_FALSE(d.Feed("0\r\n\r\n", &out));  // a failed decoder stays failed
  }
}

}  // namespace
}  // namespace kal
