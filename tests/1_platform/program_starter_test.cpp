// What both hosts' program starters share: the name rule, the bounded input
// of the piped program, the record of ended programs, and the installed
// starter that the free calls reach.
#include "1_platform/program_starter.h"

#include <gtest/gtest.h>

#include "1_platform/fake/recording_programs.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

TEST(ProgramNames, ExeIsOptionalOnTheWantedNameAndOnWindowsOnTheProcessToo) {
  std::vector<std::string> linux_names = {"/usr/bin/wget", "wget"};
  EXPECT_TRUE(NamesMatch(linux_names, "WGET", false));
  EXPECT_TRUE(NamesMatch(linux_names, "wget.EXE", false));
  EXPECT_TRUE(NamesMatch(linux_names, "/USR/BIN/WGET", false));
  EXPECT_FALSE(NamesMatch(linux_names, "wge", false));
  EXPECT_FALSE(NamesMatch(linux_names, "wget.ex", false));
  EXPECT_FALSE(NamesMatch(linux_names, ".exe", false));
  // A process known as "x.exe" is not "x" on Linux; it is on Windows.
  std::vector<std::string> windows_names = {"c:\\w\\wget.exe", "wget.exe"};
  EXPECT_FALSE(NamesMatch(windows_names, "wget", false));
  EXPECT_TRUE(NamesMatch(windows_names, "wget", true));
  EXPECT_TRUE(NamesMatch(windows_names, "WGET.EXE", true));
  EXPECT_FALSE(NamesMatch(windows_names, "wget.exe.exe", true));
  EXPECT_EQ(StartedNames("/a/B/Prog", "b\\Prog.sh", "/"), (std::vector<std::string>{"/a/b/prog", "prog", "b\\prog.sh"}));
  EXPECT_EQ(StartedNames("C:\\A\\P.EXE", "p", "\\/")[1], "p.exe");
}

TEST(PendingInputTest, KeepsWhatTheFullPipeRefusedAndDropsItWhenTheProgramCloses) {
  using Outcome = PendingInput::Outcome;
  PendingInput input;
  std::string pipe;
  size_t room = 3;
  auto write = [&](const char* data, size_t size) -> PendingInput::Write {
    if (room == 0) return {Outcome::kFull};
    size_t n = std::min(room, size);
    pipe.append(data, n);
    room -= n;
    return {Outcome::kTook, n};
  };
  EXPECT_TRUE(input.Send("hello", write));
  EXPECT_EQ(pipe, "hel");
  room = 10;
  EXPECT_TRUE(input.Send("", write));  // the rest goes on a later call
  EXPECT_EQ(pipe, "hello");
  room = 0;
  EXPECT_TRUE(input.Send(std::string(2 << 20, 'x'), write));  // more than the bound
  room = 4 << 20;
  EXPECT_TRUE(input.Send("", write));
  EXPECT_EQ(pipe.size(), 5u + (1 << 20));
  auto closed = [&](const char*, size_t) -> PendingInput::Write { return {Outcome::kClosed}; };
  EXPECT_FALSE(input.Send("abc", closed));
  pipe.clear();
  EXPECT_TRUE(input.Send("", write));
  EXPECT_EQ(pipe, "");  // dropped with the closed pipe
}

TEST(RecordingProgramsTest, StartsEndAtOnceAndAreRecalledByIdAndName) {
  RecordingPrograms programs;
  programs.SetExitCode("wget", 4);
  std::string err;
  int a = programs.Start({"/usr/bin/wget", {"-q"}, ChildStreams::kDetached}, &err);
  int b = programs.Start({"cat", {}, ChildStreams::kPipes}, &err);
  EXPECT_GT(a, 0);
  EXPECT_NE(a, b);
  EXPECT_FALSE(programs.Running(a));
  EXPECT_FALSE(programs.ConsoleProgramRunning());
  EXPECT_EQ(programs.ExitCode(a), 4);
  EXPECT_EQ(programs.ExitCode(b), 0);
  EXPECT_EQ(programs.ExitCode(12345), -1);
  EXPECT_EQ(programs.LastExitCodeNamed("WGET.exe"), 4);
  EXPECT_EQ(programs.LastExitCodeNamed("curl"), -1);
  EXPECT_TRUE(programs.SendToPiped("x"));
  programs.FailStarts("no");
  EXPECT_EQ(programs.Start({"cat", {}, ChildStreams::kPipes}, &err), 0);
  EXPECT_EQ(err, "no");
  EXPECT_EQ(programs.started().size(), 3u);
}

TEST(InstalledPrograms, CallsReachTheInnermostStarter) {
  RecordingPrograms outer, inner;
  inner.AddOnPath("kal", "/x/kal");
  {
    ScopedPrograms use_outer(test::Context().platform, outer);
    {
      ScopedPrograms use_inner(test::Context().platform, inner);
      EXPECT_EQ(FindInPath(test::Context().platform, "kal"), "/x/kal");
      EXPECT_GT(StartProgram(test::Context().platform, {"a", {}, ChildStreams::kDetached}, nullptr), 0);
    }
    EXPECT_EQ(FindInPath(test::Context().platform, "kal"), "");
    EXPECT_GT(StartProgram(test::Context().platform, {"b", {}, ChildStreams::kDetached}, nullptr), 0);
  }
  EXPECT_EQ(inner.started().size(), 1u);
  EXPECT_EQ(outer.started().size(), 1u);
  EXPECT_EQ(outer.started()[0].request.program, "b");
}

}  // namespace
}  // namespace kal
