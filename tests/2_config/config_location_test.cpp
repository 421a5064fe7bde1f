#include "2_config/config_location.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

#include "2_config/config.h"
#include "2_config/config_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace fs = std::filesystem;

// The same place however its separators are written (Windows gives back
// its own where the test wrote '/'), and in any case where names are
// compared without it.
std::string Norm(const fs::path& p) {
  std::string s = p.lexically_normal().string();
#ifdef _WIN32
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
  return s;
}

class ConfigPlaceTest : public ::testing::Test {
 protected:
  std::string UserFolder() const { return box_.config_home() + "/Talven"; }
  std::string WindowsFolder() const { return box_.drives() + "/c/windows"; }

  // Another program's change must fall in a later tick of the file
  // system's clock than the stamps already taken, or no stamp could show it.
  static void NextTick() { std::this_thread::sleep_for(std::chrono::milliseconds(25)); }

  TalvenSandbox box_;
};

// With stamps trusted at once (no settling time), the place is found once
// and kept for as long as no folder that decides it changes; every change
// another program makes to where Talven.ini is shows at the next look.
TEST_F(ConfigPlaceTest, KeptUntilAnotherProgramMovesTheFile) {
  ConfigLocation location(0);
  EXPECT_EQ(Norm(location.Place().file), Norm(UserFolder() + "/Talven.ini"));
  EXPECT_EQ(Norm(location.Place().legacy), Norm(WindowsFolder() + "/Talven.ini"));
  EXPECT_EQ(location.walks(), 1);

  NextTick();  // the Windows directory (and its drive) come into being
  WriteFileBytes(WindowsFolder() + "/Talven.ini", "[A]\nK=win\n");
  EXPECT_EQ(Norm(location.Place().folder), Norm(WindowsFolder()));
  EXPECT_EQ(location.Place().script_folder, "C:\\windows");
  EXPECT_EQ(location.walks(), 2);

  NextTick();  // the user's own file
  WriteFileBytes(UserFolder() + "/Talven.ini", "[A]\nK=user\n");
  EXPECT_EQ(Norm(location.Place().folder), Norm(UserFolder()));
  EXPECT_EQ(location.walks(), 3);

  NextTick();  // rewritten in place: where it is does not change
  WriteFileBytes(UserFolder() + "/Talven.ini", "[A]\nK=user again\n");
  for (int i = 0; i < 20; ++i) EXPECT_EQ(Norm(location.Place().folder), Norm(UserFolder()));
  EXPECT_EQ(location.walks(), 3);

  NextTick();  // taken away: the Windows directory's copy again
  fs::remove(UserFolder() + "/Talven.ini");
  EXPECT_EQ(Norm(location.Place().folder), Norm(WindowsFolder()));

  NextTick();  // the folder itself goes, with the file in another case
  fs::remove_all(WindowsFolder());
  WriteFileBytes(box_.drives() + "/c/WINDOWS/TALVEN.INI", "[A]\nK=upper\n");
  EXPECT_EQ(Norm(location.Place().file), Norm(box_.drives() + "/c/WINDOWS/TALVEN.INI"));
  int walks = location.walks();

  TempFolder elsewhere;  // the environment names another folder
  ScopedEnv xdg("XDG_CONFIG_HOME", elsewhere.path());
  WriteFileBytes(elsewhere / "Talven/Talven.ini", "");
  EXPECT_EQ(Norm(location.Place().folder), Norm(elsewhere / "Talven"));
  EXPECT_EQ(location.walks(), walks + 1);

  location.Forget();
  EXPECT_EQ(Norm(location.Place().folder), Norm(elsewhere / "Talven"));
  EXPECT_EQ(location.walks(), walks + 2);
}

// A folder changed moments ago could change again within the same tick of
// its clock without its stamp showing it: such a place is never kept.
TEST_F(ConfigPlaceTest, AFreshlyChangedFolderIsLookedAtEveryTime) {
  WriteFileBytes(UserFolder() + "/Talven.ini", "[A]\nK=1\n");
  ConfigLocation location;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Norm(location.Place().folder), Norm(UserFolder()));
  EXPECT_EQ(location.walks(), 3);
}

// Through the readers: a run's reads do not look for the file again, its
// own writes and another program's moves are seen at the next read, and the
// folders a value names are those of the file it was read from.
TEST_F(ConfigPlaceTest, ReadsFollowTheFileWithoutLookingForItEachTime) {
  ConfigState config(Context().platform);
  config.location = ConfigLocation(0);
  WriteFileBytes(WindowsFolder() + "/Talven.ini", "[A]\nK=win\nDIR=@@\\sons\n");
  NextTick();
  for (int i = 0; i < 30; ++i) EXPECT_EQ(ReadConfig(config, "A", "K"), "win");
  EXPECT_EQ(ReadConfig(config, "A", "DIR"), "C:\\windows\\sons");
  EXPECT_EQ(config.location.walks(), 1);

  ASSERT_TRUE(WriteConfig(config, "A", "K", "new"));  // goes into the file where it is
  EXPECT_EQ(ReadFileBytes(WindowsFolder() + "/Talven.ini"), "[A]\nK=new\nDIR=@@\\sons\n");
  EXPECT_EQ(ReadConfig(config, "A", "K"), "new");

  NextTick();
  WriteFileBytes(UserFolder() + "/Talven.ini", "[A]\nK=user\nDIR=@@\\sons\n");
  EXPECT_EQ(ReadConfig(config, "A", "K"), "user");
  EXPECT_EQ(ReadConfig(config, "A", "DIR"), ScriptPath(UserFolder()) + "\\sons");
  EXPECT_EQ(ConfigFolder(config), ScriptPath(UserFolder()));
}

}  // namespace kal::test
