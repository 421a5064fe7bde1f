// The desktop launcher: the set-up step writes one that starts the built
// program as a window, and refuses a build path that a launcher would
// misread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

std::string Step() { return std::string(KALDORIN_SOURCE_DIR) + "/scripts/setup.d/70-desktop.sh"; }

TEST(DesktopEntry, SetUpStepWritesALauncherThatOpensTheWindow) {
  TempFolder tmp;
  std::string cmd = "APPDIR='" + tmp.path() + "/apps' BUILD=/opt/k/build sh '" + Step() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string entry = ReadFileBytes(tmp.path() + "/apps/kaldorin.desktop");
  EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=/opt/k/build/kaldorin --window\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nTerminal=false\n"), std::string::npos);
  ASSERT_EQ(std::system(cmd.c_str()), 0);  // again, over the old one
  cmd = "APPDIR='" + tmp.path() + "/bad' BUILD='/opt/a b%f' sh '" + Step() + "' 2>/dev/null";
  EXPECT_NE(std::system(cmd.c_str()), 0);
}

}  // namespace
}  // namespace kal::test
