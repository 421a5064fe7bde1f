// EXECUTA, EXISTEPROG, ENVIACMD, LE CONSOLE and CMD. What EXECUTA asks to
// start (the program, its arguments, the folder) is seen through a recording
// program starter; what needs a program that really runs (its exit code, its
// pipes, ending it) starts real ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "1_platform/event_loop.h"
#include "1_platform/fake/recording_programs.h"
#include "1_platform/programs.h"
#include "8_interpreter/run_context.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

// Runs a script; an Enter typed after the keys answers the wait that follows
// a failing line.
ScriptResult Script(const std::string& script, const std::string& keys = "") {
  return RunScriptText(script, keys + "\r");
}

class ProgramCommands : public ::testing::Test {
 protected:
  ProgramCommands() { std::filesystem::create_directories(C("")); }  // drive C:
  std::string C(const std::string& rel) { return box_.drives() + "/c/" + rel; }
  void Config(const std::string& ini) { WriteFileBytes(box_.config_home() + "/Talven/Talven.ini", ini); }
  TalvenSandbox box_;
};

// The starts are recorded instead of made.
class RecordedStarts : public ProgramCommands {
 protected:
  RecordedStarts() : recorder_(box_.tmp() / "rec.sh") {
    WriteFileBytes(recorder_, "");
    programs_.AddExecutable(recorder_);
  }
  // The program and arguments of the only start, one a line.
  std::string OnlyStart() {
    if (programs_.started().size() != 1) return "starts: " + std::to_string(programs_.started().size());
    std::string line = programs_.started()[0].request.program + "\n";
    for (auto& a : programs_.started()[0].request.args) line += a + "\n";
    return line;
  }
  std::string recorder_;
  RecordingPrograms programs_;
  ScopedPrograms use_{Context().platform, programs_};
};

// Virtual milliseconds a script takes beyond the same run of an empty line.
int64_t ElapsedMs(const std::string& script) {
  int64_t start = test::TestLoop().NowMs();
  Script("escreve\n");
  int64_t empty = test::TestLoop().NowMs() - start;  // the runs of a case share its loop's clock
  start = test::TestLoop().NowMs();
  Script(script);
  return test::TestLoop().NowMs() - start - empty;
}

TEST_F(RecordedStarts, WaitedStartRunsInTheCurrentFolderWithMappedArguments) {
  std::filesystem::create_directories(C("trabalho"));
  auto r = Script("dir troca \"c:\\trabalho\"\n"
                  "executa \"" + recorder_ + " /L c:\\Rel\\x.txt \"\"dois  espaços\"\" http://a\\b\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(OnlyStart(), recorder_ + "\n/L\n" + C("Rel/x.txt") + "\ndois  espaços\nhttp://a\\b\n");
  ASSERT_EQ(programs_.started().size(), 1u);
  EXPECT_EQ(programs_.started()[0].folder, C("trabalho"));
  // Waited for: it shares the console and ends with this program.
  EXPECT_EQ(programs_.started()[0].request.streams, ChildStreams::kConsole);
  EXPECT_TRUE(programs_.started()[0].request.end_with_us);
}

// How many ampersands follow the line decides how the program is started.
TEST_F(RecordedStarts, AmpersandsChooseTheStreamsAndWhetherItEndsWithUs) {
  auto r = Script("executa \"" + recorder_ + "\" &\nexecuta \"" + recorder_ + "\" &&\n"
                  "executa \"" + recorder_ + "\" &&&\nexecuta \"" + recorder_ + "\" &&&&\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  ASSERT_EQ(programs_.started().size(), 4u);
  const ChildStreams want[] = {ChildStreams::kDetached, ChildStreams::kDetached, ChildStreams::kPipes,
                               ChildStreams::kDetached};
  const bool ends[] = {false, true, true, false};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(programs_.started()[i].request.streams, want[i]) << i;
    EXPECT_EQ(programs_.started()[i].request.end_with_us, ends[i]) << i;
  }
  // ENVIACMD writes a host line to the console program.
  r = Script("executa \"" + recorder_ + "\" &&&\nenviacmd \"olá\"\n");
  EXPECT_EQ(programs_.piped_input(), "olá\n");
}

// Only real paths become host paths: text from elsewhere that merely holds a
// backslash must not name a file of the host.
TEST_F(RecordedStarts, OnlyArgumentsThatArePathsAreMapped) {
  std::filesystem::create_directories(C("trabalho/sub"));
  WriteFileBytes(C("trabalho/sub/velho.txt"), "x");
  auto r = Script("dir troca \"c:\\trabalho\"\n"
                  "executa \"" + recorder_ + " sub\\velho.txt sub\\novo.txt nada\\x -a\\b x%5C\\y D:\\z\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(OnlyStart(), recorder_ + "\n" + C("trabalho/sub/velho.txt") + "\n" + C("trabalho/sub/novo.txt") +
                             "\nnada\\x\n-a\\b\nx%5C\\y\n" + box_.drives() + "/d/z\n");
}

// Keys typed before a program takes the foreground are not left to act when
// the user comes back: they are dropped, and a click says so.
TEST_F(RecordedStarts, KeysTypedAheadOfAShownProgramAreDroppedWithAClick) {
  auto r = Script("executa \"" + recorder_ + "\"\nobserva teclado k\nescreve \"[\" k \"]\"\n", "ab");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("[0]\n"), std::string::npos) << r.console;
  EXPECT_NE(std::find(r.speech.begin(), r.speech.end(), "click"), r.speech.end()) << Joined(r.speech);
  // Nothing typed: no click.
  r = RunScriptText("executa \"" + recorder_ + "\"\n");
  EXPECT_EQ(std::find(r.speech.begin(), r.speech.end(), "click"), r.speech.end()) << Joined(r.speech);
}

// A program waited for that ended by the break key (as the report viewer
// does on Ctrl+]) ends the script with the break's exit code; any other
// end of it lets the script go on.
TEST_F(ProgramCommands, AWaitedProgramEndedByTheBreakKeyEndsTheScript) {
  auto r = Script("executa \"sh -c \"\"exit 3\"\"\"\nescreve \"depois de 3\"\n"
                  "executa \"sh -c \"\"exit 130\"\"\"\nescreve \"depois de 130\"\n");
  EXPECT_EQ(r.exit_code, kExitInterrupted) << r.console;
  EXPECT_EQ(r.end.reason, EndReason::kInterrupted);
  EXPECT_EQ(r.console, "depois de 3\n");
  // The break ends the program at once: no spoken end of the script.
  EXPECT_EQ(std::find(r.speech.begin(), r.speech.end(), "say Fim do script"), r.speech.end()) << Joined(r.speech);
  // Hidden programs are not waited for: their end is the script's business.
  r = Script("executa \"sh -c \"\"exit 130\"\"\" &&\nespera ms 300\nescreve fim\n");
  EXPECT_EQ(r.exit_code, 0) << r.console;
}

// A script that waits for its download tool learns how it ended.
TEST_F(ProgramCommands, ExisteProgGivesTheExitCodeOfTheLastProgramOfThatName) {
  std::string name = "kalsh" + std::to_string(getpid() % 100000);
  std::filesystem::copy_file("/bin/sh", C(name));
  std::filesystem::permissions(C(name), std::filesystem::perms::owner_all);
  auto r = Script("existeprog \"" + name + ".exe\" x c\nescreve c\n"
                  "executa \"c:\\" + name + " -c \"\"exit 4\"\"\" &&\n"
                  "@espera\nexisteprog \"" + name + ".exe\" x c\nse x = 1 desvia @espera\nescreve c\n"
                  "existeprog \"" + name + "\" x c 9\nescreve c\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(r.console, "-1\n4\n4\n");
}

TEST_F(ProgramCommands, EncerraProgEndsAProgramTheScriptStarted) {
  std::string name = "kalend" + std::to_string(getpid() % 100000);
  std::filesystem::copy_file("/bin/sleep", C(name));
  std::filesystem::permissions(C(name), std::filesystem::perms::owner_all);
  auto r = Script("executa \"c:\\" + name + " 30\" &&\nexisteprog \"" + name + "\" a\n"
                  "encerraprog \"" + name + ".exe\"\nencerraprog \"kal-ninguem\"\nescreve a\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("1\n"), std::string::npos) << r.console;
  bool ended = false;
  for (int i = 0; i < 300 && !ended; ++i) {
    ended = !ProcessRunningNamed(Context().platform, name);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(FailLine("encerraprog\n"), 1);
}

TEST_F(RecordedStarts, QuotedProgramPathsKeepTheirBlanks) {
  WriteFileBytes(C("prog files/rec.sh"), "");
  programs_.AddExecutable(C("prog files/rec.sh"));
  auto r = Script("executa \"\"\"c:\\Prog Files\\rec.sh\"\"   um\" &&\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(OnlyStart(), C("prog files/rec.sh") + "\num\n");
}

TEST_F(RecordedStarts, AMissingExeIsLookedUpByNameInTheMapThenAlongPath) {
  Config("[PROGRAMAS]\nGRAVADOR=" + recorder_ + " --primeiro\n");
  auto r = Script("executa \"c:\\ferlan\\gravador.exe segundo\" &\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(OnlyStart(), recorder_ + "\n--primeiro\nsegundo\n");

  // Names of Windows programs come in any case; host programs are in lower case.
  programs_.AddOnPath("kalrec", "/bin/kalrec");
  r = Script("executa \"KALREC.EXE tres\" &&\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  ASSERT_EQ(programs_.started().size(), 2u);
  EXPECT_EQ(programs_.started()[1].request.program, "/bin/kalrec");
  EXPECT_EQ(programs_.started()[1].request.args, std::vector<std::string>{"tres"});

  // A bare program name in the map is looked up along PATH too.
  Config("[PROGRAMAS]\nOUTRO=kalrec --pelo-mapa\n");
  r = Script("executa \"c:\\x\\outro.exe quatro\" &&\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  ASSERT_EQ(programs_.started().size(), 3u);
  EXPECT_EQ(programs_.started()[2].request.program, "/bin/kalrec");
  EXPECT_EQ(programs_.started()[2].request.args, (std::vector<std::string>{"--pelo-mapa", "quatro"}));
}

TEST_F(ProgramCommands, AProgramThatDoesNotExistFails) {
  auto r = Script("executa \"c:\\nada\\naoexiste.exe\" &\n");
  EXPECT_EQ(r.outcome, 1);
  r = Script("executa \"naoexiste-kal-prog\" &&&\n");
  EXPECT_EQ(r.outcome, 1);
  r = Script("executa \"c:\\nada\\semexe\" &&\n");
  EXPECT_EQ(r.outcome, 1);
}

TEST_F(ProgramCommands, ReturnWaitEndsAfterFiveSecondsAndTheConfiguredDelay) {
  // A program that never takes the foreground (it fails to start).
  int64_t plain = ElapsedMs("executa \"kal-naoexiste\"\n");
  Config("[TALVEN]\nTEMPOESPERAPROGVOLTAR=250\n");
  int64_t short_delay = ElapsedMs("executa \"kal-naoexiste\"\n");
  Config("[TALVEN]\nTEMPOESPERAPROGVOLTAR=5000\n");
  int64_t too_long = ElapsedMs("executa \"kal-naoexiste\"\n");
  EXPECT_GE(plain, 6000);
  EXPECT_EQ(plain - short_delay, 750);
  EXPECT_EQ(too_long, plain);
}

TEST_F(ProgramCommands, ExisteProgFollowsTheExeRule) {
  std::string name = "kalslp" + std::to_string(getpid() % 100000);
  std::filesystem::copy_file("/bin/sleep", C(name));
  std::filesystem::permissions(C(name), std::filesystem::perms::owner_all);
  auto r = Script("executa \"c:\\" + name + " 30\" &&\n"
                         "existeprog \"" + name + "\" a\n"
                         "existeprog \"" + name + ".EXE\" b\n"
                         "existeprog \"" + name.substr(0, 4) + "\" c\n"
                         "escreve a b c\n");
  EXPECT_NE(r.console.find("110\n"), std::string::npos) << r.console;
  std::system(("pkill -x " + name).c_str());
}

TEST_F(ProgramCommands, ConsoleProgramPipesNeverBlock) {
  auto r = Script("executa \"cat\" &&&\nle console $a\nenviacmd \"olá\"\nescreve \"[\" $a \"]\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("[]\n"), std::string::npos) << r.console;  // nothing written yet: no wait
  std::this_thread::sleep_for(std::chrono::milliseconds(300));          // cat answers meanwhile
  // The program and its pipes outlive the run, as they outlive a script line.
  r = Script("le console $b\nle console $c\nescreve \"[\" $b \"|\" $c \"]\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("[olá"), std::string::npos) << r.console;
  EXPECT_NE(r.console.find("|]\n"), std::string::npos) << r.console;  // each read takes only what waited
}

TEST_F(ProgramCommands, AFloodingChildDoesNotStopTheScript) {
  auto r = Script("executa \"yes\" &&&\nespera ms 100\nle console $a\nle console $a\n"
                         "executa \"true\" &&&\nescreve \"ainda aqui\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("ainda aqui"), std::string::npos);
}

TEST_F(ProgramCommands, CmdRunsOneNestedLine) {
  auto r = Script("cmd \"escreve \"\"dentro\"\"\"\ncmd \"\"\ncmd \"* nada\"\ncmd \"fim se\"\n");
  EXPECT_NE(r.console.find("dentro\n"), std::string::npos);
  EXPECT_EQ(r.line, 4);
}

}  // namespace
}  // namespace kal::test
