#include "1_platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace kal::test {
namespace fs = std::filesystem;

TEST(Paths, DrivePathsFindExistingComponentsWithoutRegardToCase) {
  TalvenSandbox box;
  WriteFileBytes(box.drives() + "/c/som/ok.wav", "x");
  EXPECT_EQ(HostPath("C:\\SOM\\OK.WAV"), box.drives() + "/c/som/ok.wav");
  EXPECT_EQ(HostPath("c:/Som/Ok.Wav"), box.drives() + "/c/som/ok.wav");
  EXPECT_EQ(HostPath("C:SOM\\\\ok.wav\\"), box.drives() + "/c/som/ok.wav");
  EXPECT_EQ(HostPath("C:\\"), box.drives() + "/c");
  // An upper-case drive folder is found too.
  fs::create_directories(box.drives() + "/D/Dados");
  EXPECT_EQ(HostPath("d:\\dados\\novo"), box.drives() + "/D/Dados/novo");
}

TEST(Paths, MissingComponentsKeepTheCaseTheyWereGiven) {
  TalvenSandbox box;
  fs::create_directories(box.drives() + "/c/som");
  EXPECT_EQ(HostPath("C:\\SOM\\Novo\\Arq.TXT"), box.drives() + "/c/som/Novo/Arq.TXT");
  EXPECT_EQ(HostPath("E:\\X\\y"), box.drives() + "/e/X/y");
}

TEST(Paths, AnExactNameIsPreferredOverAnotherCase) {
  TalvenSandbox box;
  WriteFileBytes(box.drives() + "/c/A.txt", "1");
  WriteFileBytes(box.drives() + "/c/a.txt", "2");
  EXPECT_EQ(HostPath("C:\\a.txt"), box.drives() + "/c/a.txt");
  EXPECT_EQ(HostPath("C:\\A.txt"), box.drives() + "/c/A.txt");
  EXPECT_EQ(HostPath("C:\\A.TXT"), box.drives() + "/c/A.txt");  // first by name
}

TEST(Paths, Latin1NamesAreUtf8OnDiskAndLatin1InListings) {
  TalvenSandbox box;
  fs::create_directories(box.drives() + "/c/som");
  // The script writes "_três.wav" in Latin-1; the file on disk is UTF-8.
  EXPECT_EQ(HostPath("C:\\som\\_tr\xEAs.wav"), box.drives() + "/c/som/_tr\xC3\xAAs.wav");
  WriteFileBytes(box.drives() + "/c/som/_tr\xC3\xAAs.wav", "x");
  WriteFileBytes(box.drives() + "/c/som/.oculto", "");
  EXPECT_EQ(HostPath("C:\\SOM\\_TR\xCAS.WAV"), box.drives() + "/c/som/_tr\xC3\xAAs.wav");
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(ListHostFolder(HostPath("C:\\som"), &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, ".oculto");
  EXPECT_TRUE(entries[0].is_hidden);
  EXPECT_EQ(entries[1].name, "_tr\xEAs.wav");
  EXPECT_EQ(entries[1].size, 1);
  EXPECT_FALSE(entries[1].is_folder);
}

TEST(Paths, ANameOnDiskThatIsNotUtf8IsMatchedAsLatin1) {
  TalvenSandbox box;
  WriteFileBytes(box.drives() + "/c/ma\xE7\xE3.txt", "x");
  EXPECT_EQ(HostPath("C:\\MA\xC7\xC3.TXT"), box.drives() + "/c/ma\xE7\xE3.txt");
}

TEST(Paths, AbsoluteHostPathsStayWhereTheyAre) {
  TalvenSandbox box;
  EXPECT_EQ(HostPath("/nao/existe/Abc"), "/nao/existe/Abc");
  WriteFileBytes(box.tmp() / "Pasta/arq.txt", "x");
  EXPECT_EQ(HostPath(box.tmp() / "Pasta/arq.txt"), box.tmp() / "Pasta/arq.txt");
  // A folder from the configuration followed by a backslash and a name.
  EXPECT_EQ(HostPath(box.tmp().path() + "/pasta\\ARQ.TXT"), box.tmp() / "Pasta/arq.txt");
}

TEST(Paths, RelativeNamesFollowTheCurrentFolder) {
  TalvenSandbox box;
  WriteFileBytes(box.drives() + "/c/zelquora/temp/radios.html", "x");
  ASSERT_TRUE(SetCurrentFolder("C:\\ZELQUORA"));
  EXPECT_EQ(CurrentFolder(), "C:\\zelquora");
  EXPECT_EQ(HostPath("TEMP\\Radios.html"), box.drives() + "/c/zelquora/temp/radios.html");
  EXPECT_EQ(HostPath(""), box.drives() + "/c/zelquora");
  // "\x" is on the drive of the current folder; ".." never leaves the drive.
  EXPECT_EQ(HostPath("\\x"), box.drives() + "/c/x");
  EXPECT_EQ(HostPath("..\\..\\..\\x"), box.drives() + "/c/x");
  EXPECT_EQ(HostPath("temp\\.\\..\\temp\\radios.html"), box.drives() + "/c/zelquora/temp/radios.html");
  EXPECT_FALSE(SetCurrentFolder("C:\\nada"));
  EXPECT_EQ(CurrentFolder(), "C:\\zelquora");
}

TEST(Paths, CurrentFolderOutsideTheDrivesIsShownAsTheHostPath) {
  TalvenSandbox box;
  fs::create_directories(box.tmp() / "fora");
  ASSERT_TRUE(SetCurrentFolder(box.tmp() / "fora"));
  EXPECT_EQ(CurrentFolder(), fs::canonical(box.tmp() / "fora").string());
  // Without a drive, a name beginning with "\" is on drive C:.
  EXPECT_EQ(HostPath("\\ferlan\\orvantts"), box.drives() + "/c/ferlan/orvantts");
}

// The current folder is known by its resolved name; the drives folder as
// set may be a link to where the drives are. Both ways it is on a drive.
TEST(Paths, TheCurrentFolderIsOnADriveWhenTheDrivesFolderIsALink) {
  TalvenSandbox box;
  WriteFileBytes(box.drives() + "/c/zelquora/radios.html", "x");
  std::string link = box.tmp() / "atalho";
  ASSERT_EQ(symlink(box.drives().c_str(), link.c_str()), 0);
  ScopedEnv drives_through_link("TALVEN_DRIVES", link);
  ASSERT_TRUE(SetCurrentFolder("C:\\ZELQUORA"));
  EXPECT_EQ(CurrentFolder(), "C:\\zelquora");
  std::string real = fs::canonical(box.drives()).string();
  EXPECT_EQ(HostPath("\\x"), real + "/c/x");
  // ".." stops at the drive found through the link.
  EXPECT_EQ(HostPath("..\\..\\zelquora\\Radios.html"), real + "/c/zelquora/radios.html");
  EXPECT_EQ(ScriptPath(link + "/c/zelquora"), "C:\\zelquora");
}

TEST(Paths, ScriptPathShowsDriveFoldersAsDriveLetters) {
  TalvenSandbox box;
  EXPECT_EQ(ScriptPath(box.drives() + "/c/som/tr\xC3\xAAs"), "C:\\som\\tr\xEAs");
  EXPECT_EQ(ScriptPath(box.drives() + "/c"), "C:\\");
  EXPECT_EQ(ScriptPath(box.drives() + "/cc/x"), box.drives() + "/cc/x");
  EXPECT_EQ(ScriptPath("/usr/share/x"), "/usr/share/x");
}

TEST(Paths, WindowsFolderIsOnDriveCUnlessOverridden) {
  TalvenSandbox box;
  EXPECT_EQ(WindowsFolder(), box.drives() + "/c/windows");
  fs::create_directories(box.drives() + "/c/WINDOWS");
  EXPECT_EQ(WindowsFolder(), box.drives() + "/c/WINDOWS");
  ScopedEnv windir("TALVEN_WINDIR", box.tmp() / "win/");
  EXPECT_EQ(WindowsFolder(), box.tmp() / "win");
}

TEST(Paths, DefaultFoldersComeFromTheHome) {
  TempFolder home;
  ScopedEnv h("HOME", home.path());
  ScopedEnv d("TALVEN_DRIVES", std::nullopt);
  ScopedEnv x("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(DrivesFolder(), home / ".local/share/talven/drives");
  EXPECT_EQ(UserConfigHome(), home / ".config");
  EXPECT_FALSE(ProgramFolder().empty());
}

TEST(Paths, ReplaceKeepsModeFollowsLinksAndFailsCleanly) {
  TempFolder tmp;
  std::string file = tmp / "a.ini";
  WriteFileBytes(file, "velho");
  chmod(file.c_str(), 0640);
  std::string err;
  ASSERT_TRUE(ReplaceHostFile(file, "novo", &err)) << err;
  EXPECT_EQ(ReadFileBytes(file), "novo");
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  std::string link = tmp / "link.ini";
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  ASSERT_TRUE(ReplaceHostFile(link, "via link", &err)) << err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(file), "via link");

  EXPECT_FALSE(ReplaceHostFile(tmp / "sem/pasta.ini", "x", &err));
  EXPECT_FALSE(err.empty());
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 2);
}

TEST(Paths, FileQuestions) {
  TempFolder tmp;
  WriteFileBytes(tmp / "f", "12345");
  int64_t size = 0;
  EXPECT_TRUE(HostFileSize(tmp / "f", &size));
  EXPECT_EQ(size, 5);
  EXPECT_FALSE(HostFileSize(tmp.path(), &size));
  EXPECT_TRUE(HostIsFolder(tmp.path()));
  EXPECT_FALSE(HostExists(tmp / "g"));
  EXPECT_TRUE(MakeHostFolders(tmp / "g/h/i"));
  EXPECT_TRUE(HostIsFolder(tmp / "g/h/i"));
  EXPECT_TRUE(HostSameFile(tmp / "f", tmp / "g/../f"));
  std::string contents;
  EXPECT_FALSE(ReadHostFile(tmp / "nada", &contents));
  EXPECT_FALSE(ReadHostFile(tmp.path(), &contents));
}


// A whole-file read refuses by the file's type without opening it in a way
// that waits, and an endless or sparse file costs no more than its bound.
TEST(Paths, WholeFileReadsRefuseWhatIsNoFileAndStopAtTheBound) {
  TempFolder tmp;
  ReadBounds four;
  four.max_bytes = 4;
  std::string got;
  WriteFileBytes(tmp / "f", "1234");
  EXPECT_EQ(ReadHostFileWithin(tmp / "f", four, &got), FileRead::kRead);
  EXPECT_EQ(got, "1234");
  WriteFileBytes(tmp / "f", "12345");
  EXPECT_EQ(ReadHostFileWithin(tmp / "f", four, &got), FileRead::kTooLarge);
  EXPECT_EQ(ReadHostFileWithin(tmp / "nada", four, &got), FileRead::kMissing);
  EXPECT_EQ(ReadHostFileWithin(tmp / "nada/f", four, &got), FileRead::kMissing);
  EXPECT_EQ(ReadHostFileWithin(tmp.path(), four, &got), FileRead::kFolder);
  ASSERT_EQ(mkfifo((tmp / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadHostFileWithin(tmp / "fifo", four, &got), FileRead::kPipe);  // no writer: it would wait
  EXPECT_EQ(ReadHostFileWithin("/dev/zero", four, &got), FileRead::kDevice);
  EXPECT_FALSE(ReadHostFile(tmp / "fifo", &got));
  // A sparse file of a gigabyte is refused at its first piece.
  fs::resize_file(tmp / "f", int64_t{1} << 30);
  ReadBounds mb;
  mb.max_bytes = 1 << 20;
  EXPECT_EQ(ReadHostFileWithin(tmp / "f", mb, &got), FileRead::kTooLarge);
  EXPECT_EQ(got, "");
}

}  // namespace kal::test
