// The first run of an installed program: the shared data is found from the
// program's folder, and a new user gets a configuration and the radio
// search's folders made from it, while what a user already has is kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "8_interpreter/run_context.h"
#include "9_app/installed_data.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

// A prefix as the package installs it: bin/, and share/kaldorin with the
// default configuration and a prompt.
class InstalledData : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix() + "/bin");
    WriteFileBytes(data() + "/Talven.ini", "[TRADUTOR]\nDIRLETRAS=/usr/share/kaldorin/som/letras\n");
    WriteFileBytes(data() + "/zelquora/som/pronto.wav", "RIFF");
  }
  std::string prefix() const { return sandbox_.tmp() / "usr"; }
  std::string data() const { return prefix() + "/share/kaldorin"; }
  std::string UserIni() const { return sandbox_.config_home() + "/Talven/Talven.ini"; }

  TalvenSandbox sandbox_;
};

TEST_F(InstalledData, IsFoundBesideTheProgramsFolderOnlyWhenItHoldsTheConfiguration) {
  EXPECT_EQ(InstalledDataFolder(prefix() + "/bin"), fs::canonical(data()).string());
  fs::remove(data() + "/Talven.ini");
  EXPECT_EQ(InstalledDataFolder(prefix() + "/bin"), "");
  // A build folder has no share/kaldorin above it.
  EXPECT_EQ(InstalledDataFolder(sandbox_.tmp() / "build"), "");
}

TEST_F(InstalledData, ANewUserGetsTheConfigurationAndTheSearchFolders) {
  std::string err;
  ASSERT_TRUE(PrepareUserFiles(Context().config, data(), &err)) << err;
  EXPECT_EQ(ReadFileBytes(UserIni()), ReadFileBytes(data() + "/Talven.ini"));
  std::string zelquora = sandbox_.drives() + "/c/zelquora";
  EXPECT_TRUE(fs::is_directory(zelquora + "/temp"));
  // The prompts are copies of the shared ones: nothing in the home points
  // into the package, so its removal leaves no dangling link.
  EXPECT_FALSE(fs::is_symlink(zelquora + "/som"));
  EXPECT_EQ(ReadFileBytes(zelquora + "/som/pronto.wav"), "RIFF");
  // A second run finds everything in place and changes nothing.
  ASSERT_TRUE(PrepareUserFiles(Context().config, data(), &err)) << err;
  EXPECT_EQ(ReadFileBytes(zelquora + "/som/pronto.wav"), "RIFF");
  // An updated package's prompts, and a new one, reach the user's copies.
  WriteFileBytes(data() + "/zelquora/som/pronto.wav", "RIFF, nova");
  WriteFileBytes(data() + "/zelquora/som/novo.wav", "RIFF+");
  ASSERT_TRUE(PrepareUserFiles(Context().config, data(), &err)) << err;
  EXPECT_EQ(ReadFileBytes(zelquora + "/som/pronto.wav"), "RIFF, nova");
  EXPECT_EQ(ReadFileBytes(zelquora + "/som/novo.wav"), "RIFF+");
  // The package removed: the copies stay and nothing dangles.
  fs::remove_all(prefix());
  for (const auto& entry : fs::recursive_directory_iterator(sandbox_.drives()))
    EXPECT_FALSE(fs::is_symlink(entry.symlink_status())) << entry.path();
}

TEST_F(InstalledData, ALinkOfAnEarlierVersionBecomesCopies) {
  std::string som = sandbox_.drives() + "/c/zelquora/som";
  fs::create_directories(sandbox_.drives() + "/c/zelquora");
  fs::create_directory_symlink(data() + "/zelquora/som", som);
  std::string err;
  ASSERT_TRUE(PrepareUserFiles(Context().config, data(), &err)) << err;
  EXPECT_FALSE(fs::is_symlink(som));
  EXPECT_EQ(ReadFileBytes(som + "/pronto.wav"), "RIFF");
  EXPECT_EQ(ReadFileBytes(data() + "/zelquora/som/pronto.wav"), "RIFF");  // the shared one untouched
}

TEST_F(InstalledData, WhatTheUserAlreadyHasIsKept) {
  WriteFileBytes(UserIni(), "[TALVEN]\nFALANDO=N\n");
  // Another letter case of the user's own folders, as scripts find them.
  WriteFileBytes(sandbox_.drives() + "/c/Zelquora/SOM/meu.wav", "mine");
  std::string err;
  ASSERT_TRUE(PrepareUserFiles(Context().config, data(), &err)) << err;
  EXPECT_EQ(ReadFileBytes(UserIni()), "[TALVEN]\nFALANDO=N\n");
  EXPECT_FALSE(fs::is_symlink(sandbox_.drives() + "/c/Zelquora/SOM"));
  EXPECT_EQ(ReadFileBytes(sandbox_.drives() + "/c/Zelquora/SOM/meu.wav"), "mine");
  EXPECT_TRUE(fs::is_directory(sandbox_.drives() + "/c/Zelquora/temp"));
  EXPECT_FALSE(fs::exists(sandbox_.drives() + "/c/zelquora"));
}

TEST_F(InstalledData, AConfigurationInTheWindowsFolderIsNotShadowed) {
  WriteFileBytes(sandbox_.drives() + "/c/windows/Talven.ini", "[TALVEN]\nFALANDO=N\n");
  std::string err;
  ASSERT_TRUE(PrepareUserFiles(Context().config, data(), &err)) << err;
  EXPECT_FALSE(fs::exists(UserIni()));
}

TEST_F(InstalledData, AFailureIsReportedWithWhatCouldNotBeMade) {
  fs::remove(data() + "/Talven.ini");
  std::string err;
  EXPECT_FALSE(PrepareUserFiles(Context().config, data(), &err));
  EXPECT_NE(err.find(data() + "/Talven.ini"), std::string::npos) << err;
  // The configuration folder's place is taken by a file.
  WriteFileBytes(data() + "/Talven.ini", "[TALVEN]\n");
  WriteFileBytes(sandbox_.config_home() + "/Talven", "not a folder");
  err.clear();
  EXPECT_FALSE(PrepareUserFiles(Context().config, data(), &err));
  EXPECT_NE(err.find("Talven"), std::string::npos) << err;
}

}  // namespace
}  // namespace kal::test
