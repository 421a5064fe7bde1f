// Windows paths: native names by default, the private drives folder when
// TALVEN_DRIVES names one, and the file calls under both.
#include <gtest/gtest.h>

#include <filesystem>

#include "0_base/latin1.h"
#include "1_platform/paths.h"
#include "tests/support/temp_folder.h"

namespace kal {
namespace {

using test::ScopedEnv;
using test::TempFolder;

std::string Native(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

TEST(WindowsPaths, NativeNamesAreTheFilesThemselves) {
  ScopedEnv no_drives("TALVEN_DRIVES", std::nullopt);
  EXPECT_EQ(DrivesFolder(), "");
  EXPECT_EQ(HostPath("C:\\pasta\\..\\outra\\a.txt"), "C:\\outra\\a.txt");
  EXPECT_EQ(HostPath("c:/pasta/b.txt"), "c:\\pasta\\b.txt");
  EXPECT_EQ(ScriptPath("C:\\outra\\a.txt"), "C:\\outra\\a.txt");
  EXPECT_EQ(ScriptPath("C:/x/y"), "C:\\x\\y");
  TempFolder tmp;
  ASSERT_TRUE(SetCurrentFolder(Native(tmp.path())));
  EXPECT_EQ(HostPath("rel\\a.txt"), Native(tmp.path()) + "\\rel\\a.txt");
  EXPECT_EQ(HostPath(""), Native(tmp.path()));
  EXPECT_EQ(FoldFileName(CurrentFolder()), FoldFileName(Native(tmp.path())));
  EXPECT_FALSE(SetCurrentFolder(Native(tmp.path()) + "\\nao_existe"));
  // The Windows folder and the program's are real folders.
  EXPECT_TRUE(HostIsFolder(WindowsFolder()));
  EXPECT_TRUE(HostIsFolder(ProgramFolder()));
}

TEST(WindowsPaths, PrivateDrivesMapLettersUnderTheirFolder) {
  TempFolder tmp;
  std::string drives = Native(tmp.path()) + "\\drives";
  ScopedEnv env("TALVEN_DRIVES", drives);
  EXPECT_EQ(DrivesFolder(), drives);
  EXPECT_EQ(HostPath("C:\\som\\ok.wav"), drives + "\\c\\som\\ok.wav");
  EXPECT_EQ(HostPath("D:x"), drives + "\\d\\x");
  // ".." never climbs out of the drive.
  EXPECT_EQ(HostPath("C:\\..\\..\\x"), drives + "\\c\\x");
  EXPECT_EQ(ScriptPath(drives + "\\c\\som\\ok.wav"), "C:\\som\\ok.wav");
  EXPECT_EQ(ScriptPath(drives + "\\c"), "C:\\");
  // A host path already inside the drives stays as it is.
  EXPECT_EQ(HostPath(drives + "\\c\\a"), drives + "\\c\\a");
  EXPECT_EQ(WindowsFolder(), drives + "\\c\\windows");
  ASSERT_TRUE(MakeHostFolders(drives + "\\c\\pasta"));
  ASSERT_TRUE(SetCurrentFolder("C:\\pasta"));
  EXPECT_EQ(CurrentFolder(), "C:\\pasta");
  EXPECT_EQ(HostPath("\\outra"), drives + "\\c\\outra");
  EXPECT_EQ(HostPath("..\\..\\b"), drives + "\\c\\b");
  // Outside the drives a native name means a folder under them: leave by
  // the host's own call, so that the temporary folder can go.
  std::filesystem::current_path(tmp.path());
}

TEST(WindowsPaths, FullNamesBesideThePrivateDrivesAreTheHostFiles) {
  TempFolder tmp;
  std::string home = Native(tmp.path());
  std::string drives = home + "\\drives";
  ScopedEnv env("TALVEN_DRIVES", drives);
  // The folder that holds the drives is the tests' own: its files are
  // named by host path, and go back to scripts the same way.
  EXPECT_EQ(HostPath(home + "\\som\\x.wav"), home + "\\som\\x.wav");
  EXPECT_EQ(HostPath(tmp.path() + "/som/x.wav"), home + "\\som\\x.wav");
  EXPECT_EQ(ScriptPath(home + "\\x.wav"), home + "\\x.wav");
  EXPECT_EQ(HostPath(FoldFileName(home) + "\\x"), FoldFileName(home) + "\\x");
  // Leaving it with ".." lands on the machine's names, which are mapped;
  // so are names that merely begin alike.
  std::string parent = home.substr(0, home.find_last_of('\\'));
  EXPECT_EQ(HostPath(home + "\\..\\y"), drives + "\\c" + parent.substr(2) + "\\y");
  EXPECT_EQ(HostPath(home + "x\\y"), drives + "\\c" + home.substr(2) + "x\\y");
  // Drives kept at a drive's root would leave the whole drive unmapped:
  // there every full name is mapped.
  ScopedEnv root("TALVEN_DRIVES", "C:\\drv");
  EXPECT_EQ(HostPath("C:\\x"), "C:\\drv\\c\\x");
}

TEST(WindowsPaths, FilesAreReplacedWholeAndListedInLatin1) {
  TempFolder tmp;
  std::string folder = Native(tmp.path()) + "\\d1\\d2";
  ASSERT_TRUE(MakeHostFolders(folder));
  std::string name = folder + "\\" + Latin1ToUtf8(L1("ação.txt"));
  std::string err;
  ASSERT_TRUE(ReplaceHostFile(name, "um", &err)) << err;
  ASSERT_TRUE(ReplaceHostFile(name, "dois\r\n", &err)) << err;
  std::string text;
  ASSERT_TRUE(ReadHostFile(name, &text));
  EXPECT_EQ(text, "dois\r\n");
  EXPECT_FALSE(ReadHostFile(name, &text, 3));  // over the limit: nothing kept
  EXPECT_EQ(text, "");
  int64_t size = 0;
  ASSERT_TRUE(HostFileSize(name, &size));
  EXPECT_EQ(size, 6);
  EXPECT_FALSE(HostFileSize(folder, &size));
  EXPECT_TRUE(HostSameFile(name, folder + "\\..\\d2\\" + Latin1ToUtf8(L1("AÇÃO.TXT"))));

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(ListHostFolder(folder, &entries));
  ASSERT_EQ(entries.size(), 1u);  // no temporary file is left beside it
  EXPECT_EQ(entries[0].name, L1("ação.txt"));
  EXPECT_EQ(entries[0].size, 6);
  EXPECT_FALSE(entries[0].is_folder);
  ASSERT_TRUE(ListHostFolder(Native(tmp.path()) + "\\d1", &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].is_folder);
  EXPECT_FALSE(ListHostFolder(folder + "\\nada", &entries));
  EXPECT_FALSE(ReplaceHostFile(folder + "\\nada\\x.txt", "x", &err));
  EXPECT_NE(err.find("cannot create"), std::string::npos);
}

TEST(WindowsPaths, PrivateFoldersAreFreshAndRemovedWithTheirFiles) {
  std::string a = MakePrivateFolder("kaldorin-t-");
  std::string b = MakePrivateFolder("kaldorin-t-");
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  EXPECT_NE(a, b);
  std::string err;
  ASSERT_TRUE(ReplaceHostFile(a + "\\f.txt", "x", &err));
  RemovePrivateFolder(a);
  RemovePrivateFolder(b);
  EXPECT_FALSE(HostExists(a));
  EXPECT_FALSE(HostExists(b));
}

}  // namespace
}  // namespace kal
