// kaldorin --check as an editor runs it: findings on standard output in the
// compilers' form, a file that cannot be read among them, the count on
// standard error (spoken only at a terminal), the exit code, and nothing
// run.
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

class CheckProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(ProgramBinary())) GTEST_SKIP() << "the program is not built";
    InstallEmptyVoice(dir_.path());
  }

  // The exit code of kaldorin --check run in the folder on these words.
  int Run(const std::string& words) { return RunCommand(Program() + " --check " + words + " < /dev/null > out 2> err"); }
  std::string Program() {
    return "timeout 60 env XDG_CONFIG_HOME=" + dir_ / "config" + " TALVEN_DRIVES=" + dir_ / "drives" +
           " SDL_AUDIODRIVER=dummy " + ProgramBinary() + " --speech-log speech.log";
  }
  int RunCommand(const std::string& command) {
    std::string cmd = "cd " + dir_.path() + " && " + command;
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string File(const char* name) { return ReadFileBytes(dir_ / name); }

  TempFolder dir_;
};

TEST_F(CheckProgram, ListsEachFindingAndSpeaksTheCount) {
  // A script that would write a file if it ran: the check runs nothing.
  std::ofstream(dir_ / "bad.kal") << "ABRE #1 \"ran.txt\" ESCRITA\nescrve \"oi\"\nSE $a = 1\n  DESVIA @fim\n";
  std::ofstream(dir_ / "good.kal") << "ESCREVE \"ol\xC3\xA1\"\n";
  EXPECT_EQ(Run("bad.kal good.kal missing.kal"), 1);
  EXPECT_EQ(File("out"),
            "bad.kal:1:19: aviso [K217]: Texto ignorado pelo comando: ESCRITA\n"
            "bad.kal:2:1: erro [K101]: Comando inválido: escrve\n"
            "bad.kal:3:1: aviso [K209]: SE sem FIM SE\n"
            "bad.kal:3:4: aviso [K204]: Variável lida mas nunca definida: $A\n"
            "bad.kal:4:10: erro [K113]: Rótulo não encontrado: @fim\n"
            "missing.kal:1:1: erro [K100]: Script não encontrado: missing.kal\n");
  EXPECT_EQ(File("err"), "3 erros e 3 avisos encontrados\n");
  EXPECT_FALSE(fs::exists(dir_ / "speech.log")) << "spoken though the output is a file";
  EXPECT_FALSE(fs::exists(dir_ / "ran.txt"));
}

// Warnings alone end the check with 0, or with 1 under --strict; at a
// terminal the count is spoken.
TEST_F(CheckProgram, WarningsFailOnlyWhenStrictAndTheCountIsSpokenAtATerminal) {
  std::ofstream(dir_ / "warn.kal") << "ESCREVE \"sem fim\n";
  EXPECT_EQ(Run("warn.kal"), 0);
  EXPECT_EQ(File("out"), "warn.kal:1:9: aviso [K201]: Aspas não fechadas\n");
  EXPECT_EQ(File("err"), "1 aviso encontrado\n");
  EXPECT_EQ(Run("--strict warn.kal"), 1);
  if (std::system("command -v script > /dev/null") != 0) GTEST_SKIP() << "no script program to give a terminal";
  EXPECT_EQ(RunCommand("script -qec '" + Program() + " --check warn.kal' /dev/null < /dev/null > out 2> err"), 0);
  EXPECT_NE(File("speech.log").find("say 1 aviso encontrado\n"), std::string::npos) << File("speech.log");
}

// A finding quotes the script's text with its control characters shown,
// and a device is refused at once, not read for ever.
TEST_F(CheckProgram, ControlCharactersAreShownAndADeviceIsRefused) {
  std::ofstream(dir_ / "esc.kal") << "DESVIA @\x1b]0;x\x07\x1b[2J\xC3\xA9\n";
  EXPECT_EQ(Run("esc.kal /dev/zero"), 1);
  EXPECT_EQ(File("out"),
            "esc.kal:1:8: erro [K113]: Rótulo não encontrado: @^[]0;x^G^[[2J\xC3\xA9\n"
            "/dev/zero:1:1: erro [K100]: O script /dev/zero é um dispositivo, não um arquivo\n");
}

TEST_F(CheckProgram, ACleanScriptEndsWithZero) {
  std::ofstream(dir_ / "good.kal") << "@a\nESCREVE \"x\"\nDESVIA @a\n";
  EXPECT_EQ(Run("good.kal"), 0);
  EXPECT_EQ(File("out"), "");
  EXPECT_EQ(File("err"), "Nenhum problema encontrado\n");
}

}  // namespace
}  // namespace kal::test
