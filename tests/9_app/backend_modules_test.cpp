// The back ends in modules: every module of the build answers the core's
// table of entries; with none to be found (KALDORIN_MODULE_DIR naming an
// empty folder, as on a machine where a module's library is not installed)
// or with one of another interface, each service says it is not there and
// why, and the program still starts, speaks what it can and runs the script
// to its end.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "1_platform/accessibility.h"
#include "1_platform/audio.h"
#include "1_platform/backend_module.h"
#include "1_platform/console_frontend.h"
#include "1_platform/midi_out.h"
#include "1_platform/speech_server.h"
#include "1_platform/unavailable_backends.h"
#include "6_console/jpeg_picture.h"
#include "tests/support/picture_files.h"
#include "tests/support/program_install.h"
#include "tests/support/temp_folder.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

// While it lives, modules are looked for in one folder only (an empty one
// unless named).
class ModulesIn {
 public:
  ModulesIn() : ModulesIn(std::string()) {}
  explicit ModulesIn(const std::string& dir) : env_(kModuleDirVariable, dir.empty() ? dir_.path() : dir) {}
  std::string path() const { return dir_.path(); }

 private:
  TempFolder dir_;
  ScopedEnv env_;
};
using NoModules = ModulesIn;

// The modules this build made (CMake's list).
std::set<std::string> BuiltModules() {
  std::istringstream words(KALDORIN_BUILT_MODULES);
  return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

// Every module of the build is of the core's interface and has every entry
// the table gives it; every module has entries in the table.
TEST(BackendModules, EveryModuleOfTheBuildLoadsWithEveryEntry) {
  std::set<std::string> built = BuiltModules();
  std::set<std::string> with_entries;
  for (const ModuleEntryName& e : kModuleEntries) {
    with_entries.insert(e.module);
    if (!built.count(e.module)) continue;
    std::string why;
    EXPECT_NE(ModuleEntryAddress(e.module, e.entry, &why), nullptr) << e.module << ": " << why;
    EXPECT_NE(LoadedModuleEntryAddress(e.module, e.entry), nullptr) << e.entry;
  }
  for (const std::string& module : built) EXPECT_TRUE(with_entries.count(module)) << module;
  EXPECT_FALSE(built.empty());
}

// Each way a module cannot be had is a stand-in that says why: no module,
// a module without the entry, a module of another interface.
TEST(BackendModules, AMissingModuleIsAServiceThatSaysItIsNotThere) {
  std::string jpeg = EncodeJpeg(SolidPicture(4, 3, 200, 10, 10));
  Picture p;
  EXPECT_TRUE(DecodeJpeg(jpeg, &p));  // the module beside the tests
  {
    NoModules none;
    EXPECT_FALSE(DecodeJpeg(jpeg, &p));
    std::string err;
    EXPECT_FALSE(MakeSdlAudio()->Open(0, AudioFormat{}, &err));
    EXPECT_EQ(err, "módulo não encontrado: kaldorin-audio.so");
    EXPECT_EQ(StandInReason(*MakeWindowFrontEnd(test::Context().platform, WindowOptions{})), "módulo não encontrado: kaldorin-window.so");
    EXPECT_EQ(StandInReason(*MakeSpeechdConnection()), "módulo não encontrado: kaldorin-speechd.so");
    EXPECT_EQ(StandInReason(*MakeHostAccessibility(test::Context().platform)), "módulo não encontrado: kaldorin-atspi.so");
    EXPECT_EQ(MakeSynthMidiOutput("x.sf2")->Open(&err), MidiOpenError::kNoSynthesizer);
    EXPECT_EQ(err, "módulo não encontrado: kaldorin-fluidsynth.so");
    std::string why;
    EXPECT_EQ(ModuleEntry(module_entry::kMakeSdlAudio, &why), nullptr);
    EXPECT_EQ(LoadedModuleEntry(module_entry::kRestoreConsoleWindow), nullptr);
  }
  std::string why;
  EXPECT_EQ(ModuleEntryAddress("audio", "no_such_entry", &why), nullptr);
  EXPECT_EQ(why, "kaldorin-audio.so não tem a entrada no_such_entry");
  {
    ModulesIn other(KALDORIN_BINARY_DIR "/other_interface");
    std::string err;
    EXPECT_FALSE(MakeSdlAudio()->Open(0, AudioFormat{}, &err));
    EXPECT_EQ(err, "kaldorin-audio.so é de outra versão do programa");
  }
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
