// The program back end against real child processes.
#include "1_platform/programs.h"
#include "1_platform/linux/child_spawn.h"
#include "1_platform/linux/small_file.h"
#include "1_platform/power.h"
#include "tests/support/temp_folder.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>
#include <thread>

namespace kal {
namespace {

// Polls cond for up to 5 s of real time.
template <class F>
bool Eventually(F cond) {
  for (int i = 0; i < 500; ++i) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(Programs, StartsDetachedAndCollectsTheEndedChild) {
  std::string err;
  int id = StartProgram(test::Context().platform, {"sleep", {"0.2"}, ChildStreams::kDetached}, &err);
  ASSERT_GT(id, 0) << err;
  EXPECT_TRUE(ProgramRunning(test::Context().platform, id));
  EXPECT_TRUE(Eventually([&] { return !ProgramRunning(test::Context().platform, id); }));
}

TEST(Programs, AMissingProgramIsRefused) {
  std::string err;
  StartFailure why = StartFailure::kNone;
  EXPECT_EQ(StartProgram(test::Context().platform, {"/nonexistent/prog", {}, ChildStreams::kDetached}, &err, &why), 0);
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(why, StartFailure::kNotFound);
  EXPECT_EQ(StartProgram(test::Context().platform, {"no-such-program-kal", {}, ChildStreams::kPipes}, &err, &why), 0);
  EXPECT_EQ(why, StartFailure::kNotFound);
}

// Each failure of the system has its kind, so the person hears why.
TEST(Programs, AFailedStartSaysWhyFromTheSystemsError) {
  EXPECT_EQ(StartFailureOfErrno(EAGAIN), StartFailure::kNoProcess);  // fork: the limit of processes
  EXPECT_EQ(StartFailureOfErrno(ENOMEM), StartFailure::kNoMemory);
  EXPECT_EQ(StartFailureOfErrno(EACCES), StartFailure::kNoPermission);
  EXPECT_EQ(StartFailureOfErrno(ENOEXEC), StartFailure::kNotProgram);
  EXPECT_EQ(StartFailureOfErrno(EMFILE), StartFailure::kTooManyFiles);
  EXPECT_EQ(StartFailureOfErrno(EIO), StartFailure::kOther);
  // A file that is not a program: the exec's own error comes back.
  test::TempFolder dir;
  std::string path = dir / "texto.sh";
  test::WriteFileBytes(path, "\x7f" "ELF not really");
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  StartFailure why = StartFailure::kNone;
  EXPECT_EQ(StartProgram(test::Context().platform, {path, {}, ChildStreams::kDetached}, nullptr, &why), 0);
  EXPECT_EQ(why, StartFailure::kNotProgram);
}

TEST(Programs, ProcessListMatchesByNameWithTheExeRule) {
  // A copy of sleep under a name nobody else runs.
  std::string name = "kslp" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "x";
  std::string path = ::testing::TempDir() + name;
  ASSERT_EQ(std::system(("cp \"$(command -v sleep)\" " + path).c_str()), 0);
  std::string err;
  int id = StartProgram(test::Context().platform, {path, {"30"}, ChildStreams::kDetached}, &err);
  ASSERT_GT(id, 0);
  EXPECT_TRUE(ProcessRunningNamed(test::Context().platform, name));
  EXPECT_TRUE(ProcessRunningNamed(test::Context().platform, name + ".EXE"));
  EXPECT_TRUE(ProcessRunningNamed(test::Context().platform, path));
  EXPECT_FALSE(ProcessRunningNamed(test::Context().platform, name.substr(1)));
  EXPECT_FALSE(ProcessRunningNamed(test::Context().platform, name + ".ex"));
  std::system(("kill " + std::to_string(id)).c_str());
  // Once it ended (and was collected) it no longer counts, zombie or not.
  EXPECT_TRUE(Eventually([&] { return !ProcessRunningNamed(test::Context().platform, name + ".exe"); }));
  std::remove(path.c_str());
}

TEST(Programs, PipesNeverBlock) {
  std::string err;
  ASSERT_GT(StartProgram(test::Context().platform, {"cat", {}, ChildStreams::kPipes}, &err), 0) << err;
  EXPECT_EQ(TakePipedOutput(test::Context().platform, 1, 65535), "");  // nothing written yet: no wait
  EXPECT_TRUE(SendToPipedProgram(test::Context().platform, "hello\r\n"));
  std::string got;
  EXPECT_TRUE(Eventually([&] {
    got += TakePipedOutput(test::Context().platform, 1, 65535);
    return got == "hello\r\n";
  }));
  EXPECT_EQ(TakePipedOutput(test::Context().platform, 2, 65535), "");
}

TEST(Programs, AChildThatFloodsItsOutputDoesNotStopUs) {
  std::string err;
  int id = StartProgram(test::Context().platform, {"sh", {"-c", "exec yes flood"}, ChildStreams::kPipes}, &err);
  ASSERT_GT(id, 0);
  // The child may take a while to start on a loaded machine: wait for its
  // first output rather than for a fixed time.
  std::string first;
  EXPECT_TRUE(Eventually([&] {
    first = TakePipedOutput(test::Context().platform, 1, 65535);
    return !first.empty();
  }));
  EXPECT_LE(first.size(), 65535u);
  // A child that does not read its input: sending never blocks either.
  int cat_id = StartProgram(test::Context().platform, {"sleep", {"30"}, ChildStreams::kPipes}, &err);
  ASSERT_GT(cat_id, 0);
  std::string big(1 << 20, 'x');
  EXPECT_TRUE(SendToPipedProgram(test::Context().platform, big));
  EXPECT_TRUE(SendToPipedProgram(test::Context().platform, big));
  std::system(("kill " + std::to_string(id) + " " + std::to_string(cat_id)).c_str());
  EXPECT_TRUE(Eventually([&] { return !ProgramRunning(test::Context().platform, cat_id); }));
  EXPECT_FALSE(SendToPipedProgram(test::Context().platform, "after the end"));
}

// True while the process exists and has not ended (a zombie has ended).
bool Alive(int pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(f, stat)) return false;
  size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
}

TEST(Programs, HelpersEndWithUsEvenWhenWeAreKilledAndOpenedProgramsStay) {
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  pid_t us = fork();
  ASSERT_GE(us, 0);
  if (us == 0) {
    // The stand-in for this program: starts two programs, then is killed.
    StartRequest helper{"sleep", {"30"}, ChildStreams::kDetached};
    helper.end_with_us = true;
    int ids[2] = {StartProgram(test::Context().platform, helper, nullptr), StartProgram(test::Context().platform, {"sleep", {"31"}, ChildStreams::kDetached}, nullptr)};
    ssize_t n = write(report[1], ids, sizeof ids);
    (void)n;
    raise(SIGKILL);
  }
  close(report[1]);
  int ids[2] = {0, 0};
  ASSERT_EQ(read(report[0], ids, sizeof ids), static_cast<ssize_t>(sizeof ids));
  close(report[0]);
  waitpid(us, nullptr, 0);
  ASSERT_GT(ids[0], 0);
  ASSERT_GT(ids[1], 0);
  EXPECT_TRUE(Eventually([&] { return !Alive(ids[0]); }));
  EXPECT_TRUE(Alive(ids[1]));
  kill(ids[1], SIGKILL);
}

TEST(Programs, EndsOnlyProgramsStartedHere) {
  std::string name = "kend" + std::to_string(getpid() % 100000) + "x";
  std::string path = ::testing::TempDir() + name;
  ASSERT_EQ(std::system(("cp \"$(command -v sleep)\" " + path).c_str()), 0);
  std::string err;
  int id = StartProgram(test::Context().platform, {path, {"30"}, ChildStreams::kDetached}, &err);
  ASSERT_GT(id, 0) << err;
  EXPECT_EQ(EndProgramsNamed(test::Context().platform, name + ".EXE"), 1);
  EXPECT_TRUE(Eventually([&] { return !ProcessRunningNamed(test::Context().platform, name); }));
  EXPECT_EQ(EndProgramsNamed(test::Context().platform, name), 0);
  // Our parent runs, but we did not start it.
  std::ifstream comm("/proc/" + std::to_string(getppid()) + "/comm");
  std::string parent;
  std::getline(comm, parent);
  ASSERT_TRUE(ProcessRunningNamed(test::Context().platform, parent));
  EXPECT_EQ(EndProgramsNamed(test::Context().platform, parent), 0);
  std::remove(path.c_str());
}

TEST(Programs, ExitCodesAreKeptByIdAndByName) {
  std::string err;
  int four = StartProgram(test::Context().platform, {"sh", {"-c", "exit 4"}, ChildStreams::kDetached}, &err);
  ASSERT_GT(four, 0) << err;
  ASSERT_TRUE(Eventually([&] { return !ProgramRunning(test::Context().platform, four); }));
  EXPECT_EQ(ProgramExitCode(test::Context().platform, four), 4);
  EXPECT_EQ(LastExitCodeNamed(test::Context().platform, "SH.EXE"), 4);
  int sleeper = StartProgram(test::Context().platform, {"sleep", {"30"}, ChildStreams::kDetached}, &err);
  ASSERT_GT(sleeper, 0) << err;
  EXPECT_EQ(ProgramExitCode(test::Context().platform, sleeper), -1);  // still running
  ASSERT_TRUE(EndProgram(test::Context().platform, sleeper, false));
  ASSERT_TRUE(Eventually([&] { return !ProgramRunning(test::Context().platform, sleeper); }));
  EXPECT_EQ(ProgramExitCode(test::Context().platform, sleeper), 128 + SIGTERM);
  EXPECT_EQ(LastExitCodeNamed(test::Context().platform, "sleep"), 128 + SIGTERM);
  EXPECT_EQ(LastExitCodeNamed(test::Context().platform, "sh"), 4);
  EXPECT_EQ(LastExitCodeNamed(test::Context().platform, "no-such-program-kal"), -1);
}

// The ids of the running (not zombie) processes whose command line is
// exactly these words.
std::vector<int> ProcessesRunning(const std::vector<std::string>& words) {
  std::string want;
  for (auto& w : words) want += w + '\0';
  std::vector<int> found;
  for (auto& e : std::filesystem::directory_iterator("/proc")) {
    std::string pid = e.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    // A process may end while it is read: a stream's iterator would throw.
    std::string cmdline = ReadSmallFile(e.path().string() + "/cmdline");
    if (cmdline == want && Alive(std::stoi(pid))) found.push_back(std::stoi(pid));
  }
  return found;
}

// What a helper starts in turn ends with it when the program ends, also
// after the helper itself has gone; the user's programs stay.
TEST(Programs, WhatHelpersStartEndsWithUs) {
  std::string tag = std::to_string(getpid());
  std::vector<std::string> hidden = {"sleep", "1005." + tag}, orphan = {"sleep", "1006." + tag},
                           users = {"sleep", "1007." + tag};
  pid_t us = fork();
  ASSERT_GE(us, 0);
  if (us == 0) {
    // The stand-in for this program: starts the programs, waits until the
    // waited one's shell has gone, then ends as the program ends.
    StartRequest helper{"sh", {"-c", "sleep 1005." + tag + "; true"}, ChildStreams::kDetached};
    helper.end_with_us = true;
    StartRequest waited{"sh", {"-c", "sleep 1006." + tag + " & exit 0"}, ChildStreams::kConsole};
    waited.end_with_us = true;
    StartProgram(test::Context().platform, helper, nullptr);
    int w = StartProgram(test::Context().platform, waited, nullptr);
    StartProgram(test::Context().platform, {"sh", {"-c", "sleep 1007." + tag + "; true"}, ChildStreams::kDetached}, nullptr);
    Eventually([&] { return !ProgramRunning(test::Context().platform, w); });
    Eventually([&] { return ProcessesRunning(hidden).size() + ProcessesRunning(orphan).size() == 2; });
    EndProgramsWithUs(test::Context().platform);
    _exit(0);
  }
  int status = 0;
  waitpid(us, &status, 0);
  EXPECT_TRUE(Eventually([&] { return ProcessesRunning(users).size() == 1; }));
  EXPECT_TRUE(Eventually([&] { return ProcessesRunning(hidden).empty(); }));
  EXPECT_TRUE(Eventually([&] { return ProcessesRunning(orphan).empty(); }));
  for (int pid : ProcessesRunning(users)) kill(pid, SIGKILL);
}

// A helper that ignores the request to end is ended by force by the guard
// when we are killed: its group is still the one it watched.
TEST(Programs, TheGuardEndsByForceAGroupItStillOwns) {
  std::string tag = std::to_string(getpid());
  std::vector<std::string> stubborn = {"sleep", "1008." + tag};
  pid_t us = fork();
  ASSERT_GE(us, 0);
  if (us == 0) {
    StartRequest helper{"sh", {"-c", "trap '' TERM; exec sleep 1008." + tag}, ChildStreams::kDetached};
    helper.end_with_us = true;
    StartProgram(test::Context().platform, helper, nullptr);
    Eventually([&] { return ProcessesRunning(stubborn).size() == 1; });
    kill(getpid(), SIGKILL);
  }
  int status = 0;
  waitpid(us, &status, 0);
  EXPECT_TRUE(Eventually([&] { return ProcessesRunning(stubborn).empty(); }));
  for (int pid : ProcessesRunning(stubborn)) kill(pid, SIGKILL);
}

// A read of a kernel file can fail after its open (a process that ends
// meanwhile, a battery removed, a name that is a folder): it gives what it
// read, and the power status goes on without the value.
TEST(SmallFiles, AFailedReadGivesWhatWasReadAndThePowerStatusGoesOn) {
  test::TempFolder dir;
  std::filesystem::create_directories(dir.path() + "/BAT0/capacity");  // read() gives EISDIR
  std::ofstream(dir.path() + "/BAT0/type") << "Battery\n";
  std::filesystem::create_directories(dir.path() + "/AC");
  std::ofstream(dir.path() + "/AC/type") << "Mains\n";
  std::ofstream(dir.path() + "/AC/online") << "1\n";
  EXPECT_EQ(ReadSmallFile(dir.path() + "/BAT0/capacity"), "");
  EXPECT_EQ(ReadSmallFile(dir.path() + "/none"), "");
  EXPECT_EQ(ReadFirstLine(dir.path() + "/AC/type"), "Mains");
  EXPECT_EQ(ReadSmallFile("/proc/self/cmdline", 3).size(), 3u);
  PowerStatus st = ReadPowerStatusFrom(dir.path());
  EXPECT_TRUE(st.has_battery);
  EXPECT_EQ(st.on_mains, 1);
}

TEST(Programs, FindsExecutablesAlongPath) {
  EXPECT_EQ(FindInPath(test::Context().platform, "sh").empty(), false);
  EXPECT_EQ(FindInPath(test::Context().platform, "no-such-program-kal"), "");
  EXPECT_EQ(FindInPath(test::Context().platform, "/bin/sh"), "");
  EXPECT_TRUE(IsExecutableFile(test::Context().platform, "/bin/sh"));
  EXPECT_FALSE(IsExecutableFile(test::Context().platform, "/etc/passwd"));
  EXPECT_FALSE(IsExecutableFile(test::Context().platform, "/bin"));
}

}  // namespace
}  // namespace kal
