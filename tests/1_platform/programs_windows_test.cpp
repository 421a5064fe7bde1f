// Starting programs on Windows: command lines, pipes, the process list,
// ending our own programs, and batch files that refuse unsafe arguments.
#include <gtest/gtest.h>

#include <windows.h>

#include "1_platform/console_code_page.h"
#include "1_platform/event_loop.h"
#include "1_platform/pump.h"
#include "1_platform/programs.h"
#include "1_platform/win32/wide.h"
#include "tests/support/temp_folder.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// Waits (real time) until the program has ended; false after the limit.
bool Ends(int id, int limit_ms = 10000) {
  for (int waited = 0; waited < limit_ms; waited += 20) {
    if (!ProgramRunning(test::Context().platform, id)) return true;
    Sleep(20);
  }
  return false;
}

std::string Output(int stream, int limit_ms = 10000) {
  std::string got;
  for (int waited = 0; waited < limit_ms; waited += 20) {
    got += TakePipedOutput(test::Context().platform, stream, 4096);
    if (got.find('\n') != std::string::npos) break;
    Sleep(20);
  }
  return got;
}

TEST(WindowsArguments, QuotedAsTheRunTimeSplitsThemAgain) {
  EXPECT_EQ(QuoteArgument(L"simples"), L"simples");
  EXPECT_EQ(QuoteArgument(L""), L"\"\"");
  EXPECT_EQ(QuoteArgument(L"dois  espa\u00e7os"), L"\"dois  espa\u00e7os\"");
  EXPECT_EQ(QuoteArgument(L"a\"b"), L"\"a\\\"b\"");
  EXPECT_EQ(QuoteArgument(L"C:\\pasta com espaco\\"), L"\"C:\\pasta com espaco\\\\\"");
  EXPECT_EQ(QuoteArgument(L"C:\\sem\\espaco\\"), L"C:\\sem\\espaco\\");
}

TEST(WindowsPrograms, FoundAlongThePathWithTheirExtension) {
  std::string cmd = FindInPath(test::Context().platform, "cmd");
  ASSERT_FALSE(cmd.empty());
  EXPECT_TRUE(IsExecutableFile(test::Context().platform, cmd));
  EXPECT_EQ(FindInPath(test::Context().platform, "cmd.exe"), cmd);
  EXPECT_EQ(FindInPath(test::Context().platform, "nao_existe_programa"), "");
  EXPECT_EQ(FindInPath(test::Context().platform, "C:\\windows\\cmd"), "");  // a path is not looked up
  test::TempFolder tmp;
  EXPECT_FALSE(IsExecutableFile(test::Context().platform, tmp.path()));
  EXPECT_EQ(DocumentOpener(test::Context().platform), "");
}

TEST(WindowsPrograms, PipedProgramAnswersAndEnds) {
  StartRequest req;
  req.program = "cmd.exe";
  req.args = {"/d", "/c", "echo ola&& echo erro 1>&2"};
  req.streams = ChildStreams::kPipes;
  req.end_with_us = true;
  std::string err;
  int id = StartProgram(test::Context().platform, req, &err);
  ASSERT_GT(id, 0) << err;
  EXPECT_NE(Output(1).find("ola"), std::string::npos);
  EXPECT_NE(Output(2).find("erro"), std::string::npos);
  EXPECT_TRUE(Ends(id));
  EXPECT_FALSE(ConsoleProgramRunning(test::Context().platform));
}

// A console program writes accents in its console's code page: they reach
// the script as the letters it wrote.
TEST(WindowsPrograms, AConsoleProgramsAccentsComeThroughItsCodePage) {
  StartRequest req;
  req.program = "cmd.exe";
  req.args = {"/d", "/c", "echo caf\xc3\xa9"};
  req.streams = ChildStreams::kPipes;
  req.end_with_us = true;
  std::string err;
  int id = StartProgram(test::Context().platform, req, &err);
  ASSERT_GT(id, 0) << err;
  std::string bytes = Output(1);
  EXPECT_NE(ConsoleProgramTextToUtf8(&bytes).find("caf\xc3\xa9"), std::string::npos);
  EXPECT_TRUE(Ends(id));
}

TEST(WindowsPrograms, OurRunningProgramIsListedAndEndedByName) {
  StartRequest req;
  req.program = "cmd.exe";  // reads commands from its input pipe until told
  req.args = {"/d", "/q"};
  req.streams = ChildStreams::kPipes;
  req.end_with_us = true;
  std::string err;
  int id = StartProgram(test::Context().platform, req, &err);
  ASSERT_GT(id, 0) << err;
  EXPECT_TRUE(ProgramRunning(test::Context().platform, id));
  EXPECT_TRUE(ProcessRunningNamed(test::Context().platform, "CMD.EXE"));
  EXPECT_TRUE(ProcessRunningNamed(test::Context().platform, "cmd"));
  EXPECT_FALSE(ProcessRunningNamed(test::Context().platform, "nao_existe.exe"));
  EXPECT_TRUE(SendToPipedProgram(test::Context().platform, "echo viva\r\n"));
  EXPECT_NE(Output(1).find("viva"), std::string::npos);
  EXPECT_EQ(EndProgramsNamed(test::Context().platform, "notepad.exe"), 0);
  EXPECT_EQ(EndProgramsNamed(test::Context().platform, "cmd.exe"), 1);
  EXPECT_TRUE(Ends(id));
  EXPECT_FALSE(EndProgram(test::Context().platform, id, true));  // no longer ours to end
}

TEST(WindowsPrograms, BatchFilesRefuseArgumentsThatCmdWouldRead) {
  test::TempFolder tmp;
  std::string bat = tmp.path() + "\\eco.bat";
  std::string err;
  {
    HANDLE h = CreateFileW(Widen(bat).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const char text[] = "@echo [%1]\r\n";
    DWORD n = 0;
    WriteFile(h, text, sizeof text - 1, &n, nullptr);
    CloseHandle(h);
  }
  StartRequest req;
  req.program = bat;
  req.args = {"x&del", "y"};
  req.streams = ChildStreams::kPipes;
  EXPECT_EQ(StartProgram(test::Context().platform, req, &err), 0);
  EXPECT_FALSE(err.empty());
  req.args = {"seguro"};
  int id = StartProgram(test::Context().platform, req, &err);
  ASSERT_GT(id, 0) << err;
  EXPECT_NE(Output(1).find("[seguro]"), std::string::npos);
  EXPECT_TRUE(Ends(id));
}

TEST(WindowsPrograms, AMissingProgramIsRefusedWithTheReason) {
  StartRequest req;
  req.program = "C:\\nao\\existe.exe";
  std::string err;
  EXPECT_EQ(StartProgram(test::Context().platform, req, &err), 0);
  EXPECT_FALSE(err.empty());
  req.program = "nao_existe_programa";
  err.clear();
  EXPECT_EQ(StartProgram(test::Context().platform, req, &err), 0);
  EXPECT_FALSE(err.empty());
}

}  // namespace
}  // namespace kal
