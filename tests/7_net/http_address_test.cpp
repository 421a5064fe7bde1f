// Taking web addresses apart and resolving redirection targets.
#include <gtest/gtest.h>

#include "7_net/http_address.h"

namespace kal {
namespace {

TEST(WebAddressTest, SchemeHostPortAndPath) {
  WebAddress a = ParseWebAddress("HTTPS://example.org/a/b?c=d");
  EXPECT_TRUE(a.secure);
  EXPECT_EQ(a.host, "example.org");
  EXPECT_EQ(a.port, 443);
  EXPECT_EQ(a.path, "/a/b?c=d");

  a = ParseWebAddress("http://host:8080/path");
  EXPECT_FALSE(a.secure);
  EXPECT_EQ(a.host, "host");
  EXPECT_EQ(a.port, 8080);
  EXPECT_EQ(a.path, "/path");

  a = ParseWebAddress("http://host");
  EXPECT_EQ(a.host, "host");
  EXPECT_EQ(a.port, 80);
  EXPECT_EQ(a.path, "/");

  a = ParseWebAddress("https://host:99");
  EXPECT_EQ(a.host, "host");
  EXPECT_EQ(a.port, 99);
  EXPECT_EQ(a.path, "/");
}

TEST(WebAddressTest, PortTextRuleAndItsOddCases) {
  // Every ':' followed by the port text goes, also in the path.
  WebAddress a = ParseWebAddress("http://h:81/x:81y");
  EXPECT_EQ(a.path, "/xy");
  // A port that is not a number can be used by no connection.
  EXPECT_EQ(ParseWebAddress("http://h:abc/x").port, 0);
  EXPECT_EQ(ParseWebAddress("http://h:70000/x").port, 0);
  // Without "://" the whole text is host and path.
  a = ParseWebAddress("h/p");
  EXPECT_EQ(a.host, "h");
  EXPECT_EQ(a.path, "/p");
  EXPECT_EQ(ParseWebAddress("http://" + std::string(2000, 'a')).host.size(), 999u);
}

TEST(WebAddressTest, HostHeaderNamesPortsOtherThanTheSchemes) {
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("http://127.0.0.1:18080/x")), "127.0.0.1:18080");
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("https://h:8443")), "h:8443");
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("http://h:443/")), "h:443");
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("https://h:80/")), "h:80");
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("http://h:80/")), "h");
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("HTTPS://h:443/a")), "h");
  EXPECT_EQ(HostHeaderValue(ParseWebAddress("http://h/a")), "h");
  // An IPv6 literal keeps its brackets and its colons.
  WebAddress a = ParseWebAddress("http://[::1]:8080/a:b");
  EXPECT_EQ(a.host, "[::1]");
  EXPECT_EQ(a.port, 8080);
  EXPECT_EQ(a.path, "/a:b");
  EXPECT_EQ(HostHeaderValue(a), "[::1]:8080");
  a = ParseWebAddress("https://[2001:db8::7]/");
  EXPECT_EQ(a.host, "[2001:db8::7]");
  EXPECT_EQ(a.port, 443);
  EXPECT_EQ(HostHeaderValue(a), "[2001:db8::7]");
}

TEST(WebAddressTest, RedirectionTargets) {
  const std::string cur = "https://h:8443/dir/page.html?q=/x";
  EXPECT_EQ(ResolveLocation(cur, "http://other/z"), "http://other/z");
  EXPECT_EQ(ResolveLocation(cur, "/root"), "https://h:8443/root");
  EXPECT_EQ(ResolveLocation(cur, "next.html"), "https://h:8443/dir/next.html");
  EXPECT_EQ(ResolveLocation(cur, "//cdn/f"), "https://cdn/f");
  EXPECT_EQ(ResolveLocation("http://h", "a"), "http://h/a");
}

}  // namespace
}  // namespace kal
