// The data tools answer a wrong command line with their usage and exit
// code 2, as the README tells, rather than ending on an exception.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kal::test {
namespace {

int ExitCodeOf(const std::string& tool, const std::string& args) {
  std::string binary = std::string(KALDORIN_BINARY_DIR) + "/" + tool;
  if (!std::filesystem::exists(binary)) return -1;
  int status = std::system((binary + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ToolUsage, WrongCommandLinesExitWithTwo) {
  if (!std::filesystem::exists(std::string(KALDORIN_BINARY_DIR) + "/diphone_coverage")) GTEST_SKIP();
  EXPECT_EQ(ExitCodeOf("diphone_coverage", ""), 2);
  EXPECT_EQ(ExitCodeOf("diphone_coverage", "--db /nonexistent --top abc"), 2);
  EXPECT_EQ(ExitCodeOf("diphone_coverage", "--db /nonexistent --top 99999999999999999999"), 2);
  EXPECT_EQ(ExitCodeOf("render_recordings", "--install"), 2);
  EXPECT_EQ(ExitCodeOf("render_recordings", "onlyone"), 2);
}

}  // namespace
}  // namespace kal::test
