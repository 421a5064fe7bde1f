// Numbers as texts: which texts are the plain decimal of a number.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "8_interpreter/numbers.h"

namespace kal::test {
namespace {

// A plain decimal reads back as the text AppendNumber writes for it.
TEST(Numbers, PlainDecimalIsExactlyWhatAppendNumberWrites) {
  for (const char* text : {"0", "7", "-1", "10", "2147483648", "-2147483649", "999999999999999999",
                           "-999999999999999999"}) {
    int64_t n = 42;
    ASSERT_TRUE(PlainDecimal(text, &n)) << text;
    std::string back;
    AppendNumber(&back, n);
    EXPECT_EQ(back, text);
  }
  for (const char* text : {"", "-", "-0", "00", "007", "+5", " 5", "5 ", "5x", "x5", "$10", "0x10",
                           "1234567890123456789", "-1234567890123456789", "1-"}) {
    int64_t n = 42;
    EXPECT_FALSE(PlainDecimal(text, &n)) << text;
    EXPECT_EQ(n, 42) << text;
  }
}

}  // namespace
}  // namespace kal::test
