// The program's end as a user meets it: the helpers a script started
// (hidden, or waited for) end with the program, and so does what they
// started in turn; the programs started for the user stay.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <exception>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "tests/support/program_install.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

std::string Binary() { return ProgramBinary(); }

// The whole of a /proc file; empty when the process went away meanwhile
// (reading a vanished process's file fails, and the stream throws then).
std::string ProcFile(const fs::path& path) {
  try {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    return std::string();
  }
}

// The ids of running (not zombie) processes whose command line is these words.
std::vector<int> Running(const std::vector<std::string>& words) {
  std::string want;
  for (auto& w : words) want += w + '\0';
  std::vector<int> found;
  std::error_code ec;
  for (auto& e : fs::directory_iterator("/proc", ec)) {
    std::string pid = e.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string cmdline = ProcFile(e.path() / "cmdline");
    std::string stat = ProcFile(e.path() / "stat");
    size_t paren = stat.rfind(')');
    bool zombie = paren == std::string::npos || paren + 2 >= stat.size() || stat[paren + 2] == 'Z';
    if (cmdline == want && !zombie) found.push_back(std::stoi(pid));
  }
  return found;
}

// Polls cond for up to 10 s of real time.
bool Eventually(const std::function<bool()>& cond) {
  for (int i = 0; i < 1000; ++i) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(ProgramEnd, WhatTheScriptsHelpersStartedEndsWithTheProgram) {
  if (!fs::exists(Binary())) GTEST_SKIP() << "the program is not built";
  TempFolder dir;
  InstallEmptyVoice(dir.path());
  std::string tag = std::to_string(getpid());
  std::vector<std::string> hidden = {"sleep", "1005." + tag}, waited = {"sleep", "1006." + tag},
                           users = {"sleep", "1007." + tag};
  std::ofstream(dir / "t.kal") << "executa \"sh -c \"\"sleep 1005." << tag << "; true\"\"\" &&\n"
                               << "executa \"sh -c \"\"sleep 1006." << tag << " & sleep 0.3\"\"\"\n"
                               << "executa \"sh -c \"\"sleep 1007." << tag << "; true\"\"\" &\n"
                               << "espera ms 300\nescreve \"fim\"\n";
  std::string cmd = "env XDG_CONFIG_HOME=" + dir / "config" + " TALVEN_DRIVES=" + dir / "drives" +
                    " SDL_AUDIODRIVER=dummy " + Binary() + " --headless " + dir / "t.kal" + " < /dev/null > " +
                    dir / "out" + " 2>&1";
  int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream out(dir / "out");
  std::string output((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
  EXPECT_NE(output.find("fim"), std::string::npos) << output;
  EXPECT_TRUE(Eventually([&] { return Running(hidden).empty(); }));
  EXPECT_TRUE(Eventually([&] { return Running(waited).empty(); }));
  EXPECT_EQ(Running(users).size(), 1u);
  for (int pid : Running(users)) kill(pid, SIGKILL);
}

// Killed, the program runs no clean-up of its own: what its helpers started
// ends all the same.
TEST(ProgramEnd, WhatTheHelpersStartedEndsEvenWhenTheProgramIsKilled) {
  if (!fs::exists(Binary())) GTEST_SKIP() << "the program is not built";
  TempFolder dir;
  InstallEmptyVoice(dir.path());
  std::string tag = std::to_string(getpid());
  std::vector<std::string> hidden = {"sleep", "1008." + tag}, feeder = {"sleep", "31." + tag};
  std::ofstream(dir / "t.kal") << "executa \"sh -c \"\"sleep 1008." << tag << "; true\"\"\" &&\nle $x\n";
  // The keys come from a pipe that stays open, so the script waits.
  std::string cmd = "(sleep 31." + tag + " | env XDG_CONFIG_HOME=" + dir / "config" + " TALVEN_DRIVES=" +
                    dir / "drives" + " SDL_AUDIODRIVER=dummy " + Binary() + " --headless " + dir / "t.kal" +
                    " > /dev/null 2>&1 & echo $! > " + dir / "pid" + ")";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(Eventually([&] { return Running(hidden).size() == 1; }));
  std::ifstream pid_file(dir / "pid");
  int pid = 0;
  pid_file >> pid;
  ASSERT_GT(pid, 0);
  kill(pid, SIGKILL);
  EXPECT_TRUE(Eventually([&] { return Running(hidden).empty(); }));
  for (int p : Running(feeder)) kill(p, SIGKILL);
}

}  // namespace
}  // namespace kal::test
