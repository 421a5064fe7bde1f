// The manual page: the set-up step installs it where it is told, and it
// names every option that the program's own usage text lists, so the two
// cannot drift apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "9_app/options.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

std::string SourcePath(const std::string& relative) { return std::string(KALDORIN_SOURCE_DIR) + "/" + relative; }

TEST(ManualPage, SetUpStepInstallsItIntoTheFolderItIsGiven) {
  TempFolder tmp;
  std::string mandir = tmp / "man/man1";
  std::string cmd = "MANDIR='" + mandir + "' sh '" + SourcePath("scripts/setup.d/60-manual.sh") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(ReadFileBytes(mandir + "/kaldorin.1"), ReadFileBytes(SourcePath("docs/kaldorin.1")));
  // The Brazilian Portuguese page goes where man finds it for LANG=pt_BR.
  EXPECT_EQ(ReadFileBytes(tmp / "man/pt_BR/man1/kaldorin.1"), ReadFileBytes(SourcePath("docs/pt_BR/kaldorin.1")));
  // Running it again replaces the page without complaint.
  ASSERT_EQ(std::system(cmd.c_str()), 0);
}

// Both pages, the English and the Brazilian Portuguese one.
class ManualPageIn : public testing::TestWithParam<const char*> {};

TEST_P(ManualPageIn, NamesEveryOptionOfTheUsageText) {
  std::string page = ReadFileBytes(SourcePath(GetParam()));
  ASSERT_FALSE(page.empty()) << GetParam();
  std::string usage = std::string(UsageText(true)) + UsageText(false);
  std::regex option("--[a-z][a-z-]*");
  std::set<std::string> names;
  for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it)
    names.insert(it->str());
  EXPECT_GE(names.size(), 7u);
  for (const std::string& name : names) {
    // The page writes each dash as "\-".
    std::string escaped;
    for (char c : name) escaped += (c == '-') ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(page.find(escaped), std::string::npos) << name << " in " << GetParam();
  }
}

INSTANTIATE_TEST_SUITE_P(ManualPage, ManualPageIn, testing::Values("docs/kaldorin.1", "docs/pt_BR/kaldorin.1"));

}  // namespace
}  // namespace kal::test
