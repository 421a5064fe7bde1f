// The bitmap and JPEG loaders on good files, and on the hostile ones a
// picture command may be given: cut short, with absurd dimensions, with a
// palette that is missing or too large.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "0_base/bmp_image.h"
#include "0_base/jpeg_header.h"
#include "6_console/jpeg_picture.h"
#include "tests/support/picture_files.h"

namespace kal {
namespace {

void Put32(std::string* s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>(v >> (8 * i));
}
void Put16(std::string* s, size_t at, uint32_t v) {
  (*s)[at] = static_cast<char>(v);
  (*s)[at + 1] = static_cast<char>(v >> 8);
}

// A bitmap file with the given header fields; palette entries (BGRx) and
// rows as given.
std::string Bitmap(int w, int h, int bits, uint32_t colours_used, const std::string& palette,
                   const std::string& pixels) {
  std::string s(54, '\0');
  s[0] = 'B';
  s[1] = 'M';
  Put32(&s, 10, static_cast<uint32_t>(54 + palette.size()));
  Put32(&s, 14, 40);
  Put32(&s, 18, static_cast<uint32_t>(w));
  Put32(&s, 22, static_cast<uint32_t>(h));
  Put16(&s, 26, 1);
  Put16(&s, 28, static_cast<uint32_t>(bits));
  Put32(&s, 46, colours_used);
  s += palette;
  s += pixels;
  Put32(&s, 2, static_cast<uint32_t>(s.size()));
  return s;
}

std::string Rgb(const Picture& p, int x, int y) { return std::string(reinterpret_cast<const char*>(p.Pixel(x, y)), 3); }

TEST(BmpLoader, ReadsEachBitCountBottomUp) {
  Picture p;
  // 1 bit, two colours given, rows bottom-up: the top row is the last stored.
  std::string pal1 = std::string("\0\0\xff\0", 4) + std::string("\xff\0\0\0", 4);  // red, blue
  ASSERT_TRUE(DecodeBmpBytes(Bitmap(3, 2, 1, 2, pal1, std::string("\xa0\0\0\0\x40\0\0\0", 8)), &p));
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(Rgb(p, 0, 0), std::string("\xff\0\0", 3));  // top row: 010 -> red blue red
  EXPECT_EQ(Rgb(p, 1, 0), std::string("\0\0\xff", 3));
  EXPECT_EQ(Rgb(p, 0, 1), std::string("\0\0\xff", 3));  // bottom row: 101
  // 4 bits with the full palette taken when no count is given.
  std::string pal4(16 * 4, '\0');
  pal4[5 * 4 + 1] = '\x80';  // entry 5: green 128
  ASSERT_TRUE(DecodeBmpBytes(Bitmap(2, 1, 4, 0, pal4, std::string("\x50\0\0\0", 4)), &p));
  EXPECT_EQ(Rgb(p, 0, 0), std::string("\0\x80\0", 3));
  EXPECT_EQ(Rgb(p, 1, 0), std::string("\0\0\0", 3));
  // 24 bits: BGR, rows padded to 4 bytes.
  ASSERT_TRUE(DecodeBmpBytes(Bitmap(1, 1, 24, 0, "", std::string("\x01\x02\x03\0", 4)), &p));
  EXPECT_EQ(Rgb(p, 0, 0), "\x03\x02\x01");
  // 32 bits and 16 bits (5-5-5).
  ASSERT_TRUE(DecodeBmpBytes(Bitmap(1, 1, 32, 0, "", std::string("\x10\x20\x30\x00", 4)), &p));
  EXPECT_EQ(Rgb(p, 0, 0), "\x30\x20\x10");
  ASSERT_TRUE(DecodeBmpBytes(Bitmap(1, 1, 16, 0, "", std::string("\x00\x7c\0\0", 4)), &p));
  EXPECT_EQ(Rgb(p, 0, 0), std::string("\xff\0\0", 3));
}

TEST(BmpLoader, PaletteIndexPastAShortPaletteIsBlackAndTopDownRowsStayInOrder) {
  Picture p;
  std::string pal = "\x10\x20\x30";
  pal.push_back('\0');
  std::string s = Bitmap(2, -2, 8, 1, pal, std::string("\x00\x07\0\0\x07\x00\0\0", 8));
  ASSERT_TRUE(DecodeBmpBytes(s, &p));
  EXPECT_EQ(Rgb(p, 0, 0), "\x30\x20\x10");
  EXPECT_EQ(Rgb(p, 1, 0), std::string("\0\0\0", 3));
  EXPECT_EQ(Rgb(p, 0, 1), std::string("\0\0\0", 3));
}

TEST(BmpLoader, RefusesWhatItCannotTrust) {
  Picture keep;
  keep.width = 7;
  Picture p = keep;
  BmpError err;
  std::string good = Bitmap(2, 2, 24, 0, "", std::string(16, '\x11'));
  ASSERT_TRUE(DecodeBmpBytes(good, &p));
  p = keep;
  // Every cut of the file is refused and leaves the picture alone.
  for (size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(DecodeBmpBytes(good.substr(0, n), &p)) << n;
    EXPECT_EQ(p.width, 7);
  }
  std::string core = good;
  Put32(&core, 14, 12);  // an old core header
  EXPECT_FALSE(DecodeBmpBytes(core, &p, &err));
  EXPECT_EQ(err, BmpError::kHeader);
  std::string huge = Bitmap(100000, 100000, 24, 0, "", "");
  EXPECT_FALSE(DecodeBmpBytes(huge, &p, &err));
  EXPECT_EQ(err, BmpError::kTooLarge);
  // Claims 16384 x 16384 (within the side limit) with no pixels behind it.
  EXPECT_FALSE(DecodeBmpBytes(Bitmap(16384, 2000, 1, 2, std::string(8, '\0'), ""), &p, &err));
  EXPECT_EQ(err, BmpError::kTruncated);
  EXPECT_FALSE(DecodeBmpBytes(Bitmap(0, 1, 24, 0, "", std::string(4, '\0')), &p, &err));
  EXPECT_EQ(err, BmpError::kTooLarge);
  // A palette-less 8-bit file needs 256 entries that are not there.
  EXPECT_FALSE(DecodeBmpBytes(Bitmap(1, 1, 8, 0, "", std::string(4, '\0')), &p, &err));
  EXPECT_EQ(err, BmpError::kTruncated);
  EXPECT_FALSE(DecodeBmpBytes(Bitmap(1, 1, 8, 300, std::string(1200, '\0'), std::string(4, '\0')), &p, &err));
  EXPECT_EQ(err, BmpError::kUnsupported);
  EXPECT_FALSE(DecodeBmpBytes(Bitmap(1, 1, 7, 0, "", std::string(4, '\0')), &p, &err));
  EXPECT_EQ(err, BmpError::kUnsupported);
  std::string rle = good;
  Put32(&rle, 30, 1);
  EXPECT_FALSE(DecodeBmpBytes(rle, &p, &err));
  EXPECT_EQ(err, BmpError::kUnsupported);
  std::string far = good;
  Put32(&far, 10, 0xFFFFFFF0u);  // pixels far past the end
  EXPECT_FALSE(DecodeBmpBytes(far, &p, &err));
  EXPECT_EQ(err, BmpError::kTruncated);
  EXPECT_EQ(p.width, 7);
}

TEST(BmpLoader, WrittenFilesReadBackGreyAsEightBits) {
  Picture grey = test::SolidPicture(5, 3, 90, 90, 90);
  std::string file = EncodeBmp(grey);
  EXPECT_EQ(file[28], 8);
  Picture back;
  ASSERT_TRUE(DecodeBmpBytes(file, &back));
  EXPECT_TRUE(back.grey);
  EXPECT_EQ(back.rgb, grey.rgb);
  Picture colour = test::SolidPicture(5, 3, 1, 2, 3);
  colour.rgb[0] = 250;  // the top-left pixel differs
  file = EncodeBmp(colour);
  EXPECT_EQ(file[28], 24);
  ASSERT_TRUE(DecodeBmpBytes(file, &back));
  EXPECT_EQ(back.rgb, colour.rgb);
}

TEST(JpegLoader, DecodesColourAndGreyAndRefusesDamage) {
  Picture p;
  ASSERT_TRUE(DecodeJpeg(test::EncodeJpeg(test::SolidPicture(16, 8, 250, 10, 10)), &p));
  EXPECT_EQ(p.width, 16);
  EXPECT_EQ(p.height, 8);
  EXPECT_FALSE(p.grey);
  EXPECT_NEAR(p.Pixel(3, 3)[0], 250, 6);
  EXPECT_NEAR(p.Pixel(3, 3)[1], 10, 6);
  ASSERT_TRUE(DecodeJpeg(test::EncodeJpeg(test::SolidPicture(8, 8, 77, 77, 77)), &p));
  EXPECT_TRUE(p.grey);
  EXPECT_NEAR(p.Pixel(7, 7)[2], 77, 3);
  Picture keep;
  keep.width = 9;
  p = keep;
  EXPECT_FALSE(DecodeJpeg("", &p));
  EXPECT_FALSE(DecodeJpeg("not a jpeg at all", &p));
  std::string jpeg = test::EncodeJpeg(test::SolidPicture(16, 16, 0, 0, 255));
  for (size_t n = 0; n < 200 && n < jpeg.size(); n += 7) DecodeJpeg(jpeg.substr(0, n), &p);  // no crash
  // Dimensions past the limit are refused from the header alone: the
  // frame header's height and width fields are patched to 60000.
  size_t sof = jpeg.find("\xff\xc0");
  ASSERT_NE(sof, std::string::npos);
  jpeg[sof + 5] = '\xea';
  jpeg[sof + 6] = '\x60';
  jpeg[sof + 7] = '\xea';
  jpeg[sof + 8] = '\x60';
  p = keep;
  EXPECT_FALSE(DecodeJpeg(jpeg, &p));
  EXPECT_EQ(p.width, 9);
}

TEST(JpegHeader, SizeComesFromTheFrameHeaderPastOtherSegments) {
  int w = 0, h = 0;
  ASSERT_TRUE(JpegFrameSize(test::EncodeJpeg(test::SolidPicture(16, 8, 1, 2, 3)), &w, &h));
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 8);
  // SOI, fill bytes, an APP0 of 4 bytes, a DHT (C4, not a frame) of 3, then
  // a progressive frame header (C2) of 300 x 60000.
  std::string file("\xff\xd8\xff\xff\xe0\x00\x04" "ab\xff\xc4\x00\x03x\xff\xc2\x00\x0b\x08\xea\x60\x01\x2c\x01\x01\x11\x00",
                   27);
  ASSERT_TRUE(JpegFrameSize(file, &w, &h));
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 60000);
  for (size_t n = 0; n < file.size(); ++n) EXPECT_FALSE(JpegFrameSize(file.substr(0, n), &w, &h)) << n;
  std::string later = file;
  later[19] = later[20] = 0;  // height given by a later marker
  EXPECT_FALSE(JpegFrameSize(later, &w, &h));
  std::string scan_first = file;
  scan_first[15] = '\xda';  // the scan before any frame header
  EXPECT_FALSE(JpegFrameSize(scan_first, &w, &h));
  std::string short_length = file;
  short_length[6] = 1;  // a segment length below its own two bytes
  EXPECT_FALSE(JpegFrameSize(short_length, &w, &h));
  EXPECT_FALSE(JpegFrameSize("GIF89a", &w, &h));
}

}  // namespace
}  // namespace kal
