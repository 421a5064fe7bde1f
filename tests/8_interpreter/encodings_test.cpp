#include "8_interpreter/encodings.h"

#include <gtest/gtest.h>

#include "0_base/latin1.h"

namespace kal {
namespace {

TEST(Encodings, AnsiToUtf8UsesWindows1252ForTheHighControlRange) {
  EXPECT_EQ(AnsiToUtf8(L1("rádio")), "rádio");
  EXPECT_EQ(AnsiToUtf8("\x80"), "€");
  EXPECT_EQ(AnsiToUtf8("\x93x\x94"), "“x”");
  EXPECT_EQ(AnsiToUtf8("\x9f"), "Ÿ");
  EXPECT_EQ(AnsiToUtf8("\x81"), "\xC2\x81");  // a hole of the code page
  EXPECT_EQ(AnsiToUtf8("abc"), "abc");
}

TEST(Encodings, Utf8ToAnsiFoldsTwoByteSequencesOnly) {
  EXPECT_EQ(Utf8ToAnsiFold("\xC3\xA1"), "\xE1");
  EXPECT_EQ(Utf8ToAnsiFold("a\xE2\x82\xAC"), "a\xE2\x82\xAC");  // three bytes pass raw
  EXPECT_EQ(Utf8ToAnsiFold("x\xC3"), "x\xC3");                  // lead byte at the end
  EXPECT_EQ(Utf8ToAnsiFold("\xC3""A"), "\xC1");                  // any second byte is taken
}

TEST(Encodings, PercentEncoding) {
  EXPECT_EQ(PercentEncode(L1("rádio rock")), "r%E1dio%20rock");
  EXPECT_EQ(PercentEncode("a-b.c_d~e/f+"), "a-b.c_d~e%2Ff%2B");
  EXPECT_EQ(PercentEncode(std::string(1, '\0')), "%00");
}

TEST(Encodings, Base64RoundTripsAndSkipsForeignCharacters) {
  EXPECT_EQ(Base64Encode("abc"), "YWJj");
  EXPECT_EQ(Base64Encode("ab"), "YWI=");
  EXPECT_EQ(Base64Encode("a"), "YQ==");
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Decode("YW Jj"), "abc");
  EXPECT_EQ(Base64Decode("YWI="), "ab");
  EXPECT_EQ(Base64Decode("YQ==YWJj"), "a");  // stops at the first '='
  EXPECT_EQ(Base64Decode("Y"), "");          // a lone character gives nothing
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

TEST(Encodings, QuotedStyle) {
  EXPECT_EQ(QuotedEncode("a=b"), "a=3Db");
  EXPECT_EQ(QuotedEncode(L1("é\r\n~\x7f")), "=E9=0D=0A~=7F");
  EXPECT_EQ(QuotedDecode("a=3Db="), "a=b");
  EXPECT_EQ(QuotedDecode("=e9=4"), "\xE9=4");  // too short at the end: copied
  EXPECT_EQ(QuotedDecode("=ZZ"), "=ZZ");
  EXPECT_EQ(QuotedDecode("=41"), "A");  // at least the two digits present
}

TEST(Encodings, LineEncoderCarriesGroupsAcrossBlocks) {
  std::string data(100, 'x');
  Base64LineEncoder enc;
  std::string out;
  enc.Feed(data.substr(0, 1), &out);
  enc.Feed(data.substr(1, 50), &out);
  enc.Feed(data.substr(51), &out);
  enc.Finish(&out);
  std::string whole = Base64Encode(data);
  ASSERT_EQ(whole.size(), 136u);
  EXPECT_EQ(out, whole.substr(0, 64) + "\r\n" + whole.substr(64, 64) + "\r\n" + whole.substr(128) + "\r\n");
  Base64LineEncoder empty;
  std::string none;
  empty.Finish(&none);
  EXPECT_EQ(none, "");
}

}  // namespace
}  // namespace kal
