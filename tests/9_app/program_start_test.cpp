// The program as a user starts it, failing before a script runs: each
// failure is written and spoken (the speech log shows it), names the file
// or folder at fault, and ends with the documented exit code.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "1_platform/file_lock.h"
#include "8_interpreter/interpreter.h"
#include "9_app/script_file.h"
#include "tests/support/program_install.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

// A private installation for the real program: with the recorded voice's
// files in place (an empty database and our rule files are enough to start
// it), or without them, as before set-up has run.
class ProgramStart : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(Binary())) GTEST_SKIP() << "the program is not built";
  }

  static std::string Binary() { return ProgramBinary(); }

  void InstallVoice() {
    InstallEmptyVoice(dir_.path());
  }

  // Runs the program headless with the keys on standard input; the exit
  // code. The speech log and the output are read with Speech() and Output().
  int Run(const std::string& args, const std::string& keys = "") {
    std::ofstream(dir_ / "keys", std::ios::binary) << keys;
    // A program that hangs fails the test (exit code 124) instead of holding the suite.
    std::string cmd = "timeout 60 env XDG_CONFIG_HOME=" + dir_ / "config" + " TALVEN_DRIVES=" + dir_ / "drives" +
                      (path_.empty() ? "" : " PATH=" + path_) +
                      " SDL_AUDIODRIVER=" + audio_driver_ + " " + Binary() + " --headless --speech-log " +
                      dir_ / "speech.log" +
                      " " + args + " < " + dir_ / "keys" + " > " + dir_ / "out" + " 2> " + dir_ / "err";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Speech() { return ReadFileBytes(dir_ / "speech.log"); }
  std::string Output() { return ReadFileBytes(dir_ / "out") + ReadFileBytes(dir_ / "err"); }

  TempFolder dir_;
  std::string audio_driver_ = "dummy";  // "none": no sound device at all
  std::string path_;                     // PATH of the program; empty: the tests' own
};

TEST_F(ProgramStart, AMissingScriptIsSpokenWithItsName) {
  InstallVoice();
  std::string script = dir_ / "nada.kal";
  EXPECT_EQ(Run(script), 1);
  EXPECT_NE(Speech().find("say Script não encontrado: " + script + "\n"), std::string::npos) << Speech();
  EXPECT_NE(Output().find("Script não encontrado: " + script), std::string::npos) << Output();
}

TEST_F(ProgramStart, AScriptOverTheLineLimitIsSpokenWithItsName) {
  InstallVoice();
  std::string script = dir_ / "longo.kal";
  std::ofstream out(script);
  for (int i = 0; i < 5001; ++i) out << "escreve \"x\"\n";
  out.close();
  EXPECT_EQ(Run(script), 1);
  EXPECT_NE(Speech().find("say O script " + script + " tem mais de 5000 linhas\n"), std::string::npos)
      << Speech();
  EXPECT_EQ(Output().find("x\n"), std::string::npos);  // no line of it ran
}

// A script that is no file is refused from its type at once, said with
// its reason; a script's control characters reach the terminal shown.
TEST_F(ProgramStart, APipeAsScriptIsRefusedAndControlCharactersAreShown) {
  InstallVoice();
  std::string fifo = dir_ / "pipe.kal";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Run(fifo), 1);
  EXPECT_NE(Speech().find("say O script " + fifo + " é um pipe (FIFO), não um arquivo\n"), std::string::npos)
      << Speech();
  std::string script = dir_ / "cores.kal";
  std::ofstream(script) << "escreve \"\x1b]0;dono\x07\x1b[2Jol\xC3\xA1\"\n";
  EXPECT_EQ(Run(script), 0);
  EXPECT_NE(Output().find("^[]0;dono^[[2Jol\xC3\xA1\n"), std::string::npos) << Output();
  EXPECT_EQ(Output().find('\x1b'), std::string::npos);
}

// Before set-up has run there is no recorded voice: the report is still
// spoken (by the local engine), names the folder that is missing and says
// that Enter is awaited.
TEST_F(ProgramStart, MissingVoiceDataIsSpokenWithTheMissingFolderAndTheWaitForEnter) {
  std::string script = dir_ / "ok.kal";
  std::ofstream(script) << "escreve \"x\"\n";
  EXPECT_EQ(Run(script, "\r"), 3);
  std::string said = Speech();
  EXPECT_NE(said.find("say Erro de inicialização da voz gravada\n"), std::string::npos) << said;
  EXPECT_NE(said.find("say Banco de dados de voz: DIFONES2\n"), std::string::npos) << said;
  EXPECT_NE(said.find("say Não encontrado: C:\\ferlan\\som\\difones\n"), std::string::npos) << said;
  EXPECT_NE(said.find("say Tecle Enter\n"), std::string::npos) << said;
  EXPECT_NE(Output().find("Não encontrado: C:\\ferlan\\som\\difones"), std::string::npos) << Output();
}

// The configuration asks for the Orvan voice but MBROLA is not installed
// (it is only recommended by the package): the user reads and hears why,
// and the recorded voice speaks the script.
TEST_F(ProgramStart, OrvanWithoutMbrolaIsToldAndTheRecordedVoiceSpeaks) {
  InstallVoice();
  WriteFileBytes(dir_ / "config/Talven/Talven.ini", "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=3\n");
  std::string script = dir_ / "ok.kal";
  std::ofstream(script) << "escreve \"pronto\"\n";
  path_ = "/nonexistent";
  EXPECT_EQ(Run(script), 0) << Output();
  std::string told = "Voz Orvan indisponível: o programa mbrola não está instalado. Fala a voz gravada.";
  EXPECT_NE(Output().find(told + "\npronto\n"), std::string::npos) << Output();
  EXPECT_NE(Speech().find("say " + told + "\nsay pronto\n"), std::string::npos) << Speech();
}

// Parameters are converted as script files are: UTF-8 with accents arrives
// as Latin-1 (console and speech log show it as UTF-8 again); bytes that are not UTF-8 are taken as Latin-1 as they are.
TEST_F(ProgramStart, AccentedParametersReachTheScriptAsLatin1) {
  InstallVoice();
  std::string script = dir_ / "p.kal";
  std::ofstream(script) << "seja p params\nescreve p\nfala p\n";
  EXPECT_EQ(Run(script + " café 'S\xe3o Paulo' a\xe7\xe3o"), 0) << Output();
  EXPECT_NE(Output().find("3 café São%20Paulo ação\n"), std::string::npos) << Output();
  EXPECT_NE(Speech().find("say 3 café São%20Paulo ação\n"), std::string::npos) << Speech();
}

// Without voice data and without any sound device the report is still
// written, said to the speech log, and the end of the input ends the wait
// for Enter: no wait for a sound that can never play holds the program.
TEST_F(ProgramStart, NoVoiceDataNoSoundDeviceAndNoInputEndsWithCodeThree) {
  audio_driver_ = "none";
  std::string script = dir_ / "b.kal";
  std::ofstream(script) << "escreve \"x\"\n";
  EXPECT_EQ(Run(script), 3) << Output();
  EXPECT_NE(Speech().find("say Tecle Enter\n"), std::string::npos) << Speech();
  // The report is whole: the notice of no sound comes after it.
  std::string out = Output();
  EXPECT_NE(out.find("Erro de inicialização da voz gravada\nBanco de dados de voz: DIFONES2\n"
                     "Não encontrado: C:\\ferlan\\som\\difones\nTecle Enter\n"),
            std::string::npos)
      << out;
  EXPECT_GT(out.find("Sem som"), out.find("Tecle Enter")) << out;
  EXPECT_EQ(out.find("x\n"), std::string::npos) << out;
}

// Another program keeps Talven.ini's lock: the start waits for it once,
// says so, and runs the script with the defaults in memory.
TEST_F(ProgramStart, AKeptConfigurationLockCostsOneToldWait) {
  InstallVoice();
  std::string script = dir_ / "ok.kal";
  std::ofstream(script) << "escreve \"x\"\n";
  fs::create_directories(dir_ / "config/Talven");
  HostFileLock other(dir_ / "config/Talven/Talven.ini");
  ASSERT_TRUE(other.held());
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run(script), 0) << Output();
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::seconds(12));
  EXPECT_NE(Speech().find("say Aguardando o arquivo de configuração\n"), std::string::npos) << Speech();
  EXPECT_NE(Output().find("x\n"), std::string::npos) << Output();
  EXPECT_FALSE(fs::exists(dir_ / "config/Talven/Talven.ini"));
}

TEST(ScriptFile, HostTextBecomesLatin1ByTheRuleOfScriptFiles) {
  EXPECT_EQ(HostTextToScript("caf\xc3\xa9"), "caf\xe9");
  EXPECT_EQ(HostTextToScript("caf\xe9"), "caf\xe9");          // not UTF-8: kept
  EXPECT_EQ(HostTextToScript("\xc3\xa9\xe9"), "\xc3\xa9\xe9");  // partly UTF-8: kept whole
  EXPECT_EQ(HostTextToScript("\xe2\x82\xac"), "?");            // outside Latin-1
}

// The bounds hold at their value and refuse one byte or line more, naming it;
// a device is refused before anything is read.
TEST(ScriptFile, LoadingStopsAtItsBoundsAndRefusesDevices) {
  TempFolder dir;
  std::string script = dir / "grande.kal";
  std::string text(kMaxScriptBytes, 'x');
  for (size_t i = 1000; i < text.size(); i += 1000) text[i] = '\n';
  WriteFileBytes(script, text);
  std::vector<std::string> lines;
  std::string err;
  EXPECT_TRUE(LoadScriptFile(script, &lines, &err)) << err;
  WriteFileBytes(script, text + "x");
  EXPECT_FALSE(LoadScriptFile(script, &lines, &err));
  EXPECT_EQ(err, "O script " + script + " tem mais de 4194304 bytes");
  EXPECT_TRUE(lines.empty());
  std::string five_thousand;
  for (int i = 0; i < kMaxScriptLines; ++i) five_thousand += "x\n";
  WriteFileBytes(script, five_thousand);
  EXPECT_TRUE(LoadScriptFile(script, &lines, &err)) << err;
  WriteFileBytes(script, five_thousand + "x");
  EXPECT_FALSE(LoadScriptFile(script, &lines, &err));
  EXPECT_EQ(err, "O script " + script + " tem mais de 5000 linhas");
  EXPECT_FALSE(LoadScriptFile("/dev/zero", &lines, &err));
  EXPECT_EQ(err, "O script /dev/zero é um dispositivo, não um arquivo");
  EXPECT_FALSE(LoadScriptFile(dir.path(), &lines, &err));
  EXPECT_EQ(err, "O script é uma pasta: " + dir.path());
}

TEST(ScriptFile, TheLineLimitIsFiveThousandLines) {
  std::vector<std::string> lines;
  std::string err;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "x\r\n";
  EXPECT_TRUE(SplitScriptText(text, &lines, &err)) << err;
  EXPECT_EQ(lines.size(), 5000u);
  EXPECT_FALSE(SplitScriptText(text + "y", &lines, &err));
  EXPECT_EQ(err, "tem mais de 5000 linhas");
}

}  // namespace
}  // namespace kal::test
