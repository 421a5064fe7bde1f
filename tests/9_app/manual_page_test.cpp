// The manual page: the set-up step installs it where it is told, and it
// names every option that the program's own usage text lists, so the two
// cannot drift apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "9_app/options.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string SourcePath(const std::string& relative) { return std::string(KALDORIN_SOURCE_DIR) + "/" + relative; }

TEST(ManualPage, SetUpStepInstallsItIntoTheFolderItIsGiven) {
  TempFolder tmp;
  std::string mandir = tmp / "man/man1";
  std::string cmd = "MANDIR='" + mandir + "' sh '" + SourcePath("scripts/setup.d/60-manual.sh") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(ReadAll(mandir + "/kaldorin.1"), ReadAll(SourcePath("docs/kaldorin.1")));
  // Running it again replaces the page without complaint.
  ASSERT_EQ(std::system(cmd.c_str()), 0);
}

TEST(ManualPage, NamesEveryOptionOfTheUsageText) {
  std::string page = ReadAll(SourcePath("docs/kaldorin.1"));
  ASSERT_FALSE(page.empty());
  std::string usage = UsageText();
  std::regex option("--[a-z][a-z-]*");
  std::set<std::string> names;
  for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it)
    names.insert(it->str());
  EXPECT_GE(names.size(), 7u);
  for (const std::string& name : names) {
    // The page writes each dash as "\-".
    std::string escaped;
    for (char c : name) escaped += (c == '-') ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(page.find(escaped), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace kal::test
