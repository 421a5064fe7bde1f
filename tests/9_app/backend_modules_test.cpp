// The back ends in modules: with none to be found (KALDORIN_MODULE_DIR
// naming an empty folder, as on a machine where a module's library is not
// installed) each service says it is not there, and the program still
// starts, speaks what it can and runs the script to its end.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "1_platform/audio.h"
#include "1_platform/backend_module.h"
#include "1_platform/console_frontend.h"
#include "6_console/jpeg_picture.h"
#include "tests/support/picture_files.h"
#include "tests/support/program_install.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

// While it lives, modules are looked for in an empty folder only.
class NoModules {
 public:
  NoModules() { setenv(kModuleDirVariable, dir_.path().c_str(), 1); }
  ~NoModules() { unsetenv(kModuleDirVariable); }
  std::string path() const { return dir_.path(); }

 private:
  TempFolder dir_;
};

TEST(BackendModules, AMissingModuleIsAServiceThatSaysItIsNotThere) {
  std::string jpeg = EncodeJpeg(SolidPicture(4, 3, 200, 10, 10));
  Picture p;
  EXPECT_TRUE(DecodeJpeg(jpeg, &p));  // the module beside the tests
  {
    NoModules none;
    EXPECT_FALSE(DecodeJpeg(jpeg, &p));
    std::string err;
    EXPECT_FALSE(MakeSdlAudio()->Open(0, AudioFormat{}, &err));
    EXPECT_NE(err.find("kaldorin-audio.so"), std::string::npos) << err;
    WindowOptions window;
    EXPECT_EQ(MakeWindowFrontEnd(window), nullptr);
    std::string why;
    EXPECT_EQ(ModuleEntry("audio", "kaldorin_make_sdl_audio", &why), nullptr);
    EXPECT_NE(why.find("not found"), std::string::npos) << why;
  }
  std::string why;
  EXPECT_EQ(ModuleEntry("audio", "no_such_entry", &why), nullptr);
  EXPECT_NE(why.find("no_such_entry"), std::string::npos) << why;
}

// The real program without any module: no sound is said once, and the
// script runs to its end.
TEST(BackendModules, TheProgramStartsAndRunsWithoutThem) {
  if (!fs::exists(ProgramBinary())) GTEST_SKIP() << "the program is not built";
  NoModules none;
  TempFolder dir;
  InstallEmptyVoice(dir.path());
  std::ofstream(dir / "t.kal", std::ios::binary) << "escreve \"feito\"\n";
  std::string cmd = "env XDG_CONFIG_HOME=" + dir / "config" + " TALVEN_DRIVES=" + dir / "drives" + " " +
                    ProgramBinary() + " --headless --speech-log " + dir / "speech.log" + " " + dir / "t.kal" +
                    " < /dev/null > " + dir / "out" + " 2>&1";
  int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string out = ReadFileBytes(dir / "out");
  EXPECT_NE(out.find("feito"), std::string::npos) << out;
  EXPECT_NE(out.find("Sem som"), std::string::npos) << out;
  EXPECT_NE(ReadFileBytes(dir / "speech.log").find("say feito"), std::string::npos);
}

}  // namespace
}  // namespace kal::test
