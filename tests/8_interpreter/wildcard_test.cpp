#include "8_interpreter/wildcard.h"

#include <gtest/gtest.h>

#include "0_base/latin1.h"

namespace kal {
namespace {

TEST(Wildcard, MatchesLikeWindowsMasks) {
  EXPECT_TRUE(WildcardMatch("*.txt", "Relatorio.TXT"));
  EXPECT_FALSE(WildcardMatch("*.txt", "relatorio.txt.bak"));
  EXPECT_TRUE(WildcardMatch("*.*", "semponto"));
  EXPECT_TRUE(WildcardMatch("*", ".."));
  EXPECT_TRUE(WildcardMatch("a?c", "ABC"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(WildcardMatch("*a*b", "xxaxxbxxc"));
  EXPECT_TRUE(WildcardMatch(L1("ação*"), L1("AÇÃO.txt")));
  EXPECT_TRUE(WildcardMatch("exato.txt", "EXATO.txt"));
  EXPECT_FALSE(WildcardMatch("", "x"));
}

TEST(Wildcard, ManyStarsStayFast) {
  std::string name(2000, 'a');
  EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*a*b", name));
}

}  // namespace
}  // namespace kal
