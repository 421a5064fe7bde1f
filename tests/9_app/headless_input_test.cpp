// The program run headless with its keys written ahead on standard input, as
// tests and scripted runs give them: the keys reach the program as if typed
// one by one, so screen review reads the screen the script wrote instead of
// losing the keys to the beep that opens it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/program_install.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

// A private installation with the recorded voice's files in place (an empty
// database and our rule files are enough to start it).
class HeadlessInput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(Binary())) GTEST_SKIP() << "the program is not built";
    InstallEmptyVoice(dir_.path());
  }

  static std::string Binary() { return ProgramBinary(); }

  // Runs the script with all the keys in a file on standard input; the exit
  // code.
  int Run(const std::string& script, const std::string& keys) {
    std::ofstream(dir_ / "t.kal", std::ios::binary) << script;
    std::ofstream(dir_ / "keys", std::ios::binary) << keys;
    std::string cmd = "env XDG_CONFIG_HOME=" + dir_ / "config" + " TALVEN_DRIVES=" + dir_ / "drives" +
                      " SDL_AUDIODRIVER=dummy " + Binary() + " --headless --speech-log " + dir_ / "speech.log" +
                      " " + dir_ / "t.kal" + " < " + dir_ / "keys" + " > " + dir_ / "out" + " 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Speech() { return ReadFileBytes(dir_ / "speech.log"); }

  TempFolder dir_;
};

// Ctrl+R, T, T, a lone Esc and Enter, all at once: review opens with its
// beep, TT reads the row the script wrote (then a click per row of the 25),
// Esc leaves with two beeps and Enter ends the line.
TEST_F(HeadlessInput, ReviewReadsTheScreenWithKeysWrittenAhead) {
  EXPECT_EQ(Run("escreve mudo \"Você paga\"\nle $a\n", "\x12tt\x1b\r"), 0) << ReadFileBytes(dir_ / "out");
  std::string said = Speech();
  std::string clicks;
  for (int row = 0; row < 25; ++row) clicks += "click\n";
  EXPECT_NE(said.find("beep\nsay Voc\xC3\xAA\nsay paga\n" + clicks + "beep\nbeep\nsay Fim do script\n"),
            std::string::npos)
      << said;
}

}  // namespace
}  // namespace kal::test
