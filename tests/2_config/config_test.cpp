#include "2_config/config_state.h"
#include "2_config/config.h"
#include "0_base/ini_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "0_base/latin1.h"
#include "1_platform/file_lock.h"
#include "1_platform/user_notice.h"
#include "1_platform/platform.h"
#include "1_platform/paths.h"
#include "tests/support/temp_folder.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace fs = std::filesystem;

class Config : public ::testing::Test {
 protected:
  // A fresh configuration state for each test: no legacy copy, no updates
  // kept in memory.
  ConfigState config_{Context().platform};

  std::string UserIni() const { return box_.config_home() + "/Talven/Talven.ini"; }
  std::string WindowsIni() const { return box_.drives() + "/c/windows/Talven.ini"; }
  std::string Program() const { return ScriptPath(ProgramFolder()); }

  TalvenSandbox box_;
};

TEST_F(Config, FolderIsTheUsersUnlessOnlyTheWindowsDirectoryHasTheFile) {
  std::string user_folder = box_.config_home() + "/Talven";
  EXPECT_EQ(ConfigFolder(config_), user_folder);
  WriteFileBytes(WindowsIni(), "[TALVEN]\nX=win\n");
  EXPECT_EQ(ConfigFolder(config_), "C:\\windows");
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "X"), "win");
  WriteFileBytes(UserIni(), "[TALVEN]\nX=user\n");
  EXPECT_EQ(ConfigFolder(config_), user_folder);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "X"), "user");
}

TEST_F(Config, EveryReadGoesToTheFile) {
  WriteFileBytes(UserIni(), "[A]\nK=1\n");
  EXPECT_EQ(ReadConfig(config_, "A", "K"), "1");
  WriteFileBytes(UserIni(), "[A]\nK=2\n");
  EXPECT_EQ(ReadConfig(config_, "a", "k"), "2");
  fs::remove(UserIni());
  EXPECT_EQ(ReadConfig(config_, "A", "K"), "");
}

// Keys are kept between reads only while the file's stamp stays: a file
// rewritten in place with the same size and its old modification time put
// back (as a coarse clock or a careful editor leaves it) is still read anew.
TEST_F(Config, KeptKeysGiveWayToAnyChangeOfTheFile) {
  WriteFileBytes(UserIni(), "[A]\nK=1\n");
  auto old_time = fs::last_write_time(UserIni()) - std::chrono::hours(1);
  fs::last_write_time(UserIni(), old_time);
  EXPECT_EQ(ReadConfig(config_, "A", "K"), "1");
  EXPECT_EQ(ReadConfig(config_, "A", "K"), "1");
  WriteFileBytes(UserIni(), "[A]\nK=2\n");
  fs::last_write_time(UserIni(), old_time);
  EXPECT_EQ(ReadConfig(config_, "A", "K"), "2");
  ASSERT_TRUE(WriteConfig(config_, "A", "K", "3"));
  EXPECT_EQ(ReadConfig(config_, "A", "K"), "3");
}

TEST_F(Config, AtPrefixesExpand) {
  WriteFileBytes(UserIni(),
                 "[TALVEN]\n"
                 "[X]\n"
                 "SO=@\n"
                 "MEIO=a@b\n"
                 "FIM=abc@\n"
                 "CFG=@@\\voz\n"
                 "PGM=@\\som\n");
  EXPECT_EQ(ReadConfig(config_, "X", "SO"), Program());
  EXPECT_EQ(ReadConfig(config_, "X", "MEIO"), "a@b");
  EXPECT_EQ(ReadConfig(config_, "X", "FIM"), "abc@");
  EXPECT_EQ(ReadConfig(config_, "X", "CFG"), ConfigFolder(config_) + "\\voz");
  // PGMTALVEN absent or empty: the program folder.
  EXPECT_EQ(ReadConfig(config_, "X", "PGM"), Program() + "\\som");
  WriteConfig(config_, "TALVEN", "PGMTALVEN", "");
  EXPECT_EQ(ReadConfig(config_, "X", "PGM"), Program() + "\\som");
  WriteConfig(config_, "TALVEN", "PGMTALVEN", "@");
  EXPECT_EQ(ReadConfig(config_, "X", "PGM"), Program() + "\\som");
  WriteConfig(config_, "TALVEN", "PGMTALVEN", "c:\\ferlan");
  EXPECT_EQ(ReadConfig(config_, "X", "PGM"), "c:\\ferlan\\som");
  WriteConfig(config_, "TALVEN", "PGMTALVEN", "@@\\pgm");
  EXPECT_EQ(ReadConfig(config_, "X", "PGM"), ConfigFolder(config_) + "\\pgm\\som");
}

TEST_F(Config, APgmTalvenThatNamesItselfEnds) {
  WriteFileBytes(UserIni(), "[TALVEN]\nPGMTALVEN=@\\x\n[X]\nPGM=@\\som\nDOIS=@\\a@\\b\n");
  // Inside its own value "@\" can only mean the program folder.
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "PGMTALVEN"), Program() + "\\x");
  EXPECT_EQ(ReadConfig(config_, "X", "PGM"), Program() + "\\x\\som");
  EXPECT_EQ(ReadConfig(config_, "X", "DOIS"), Program() + "\\x\\a" + Program() + "\\x\\b");
}

TEST_F(Config, ExpansionThatKeepsBringingBackAPrefixStops) {
  // A configuration folder whose name holds "@@\" twice brings the prefix
  // back with every insertion; the expansion stops after a fixed number of
  // rounds.
  std::string home = box_.tmp() / "q@@\\@@\\";
  ScopedEnv xdg("XDG_CONFIG_HOME", home);
  WriteFileBytes(home + "/Talven/Talven.ini", "[X]\nK=@@\\voz\n");
  std::string v = ReadConfig(config_, "X", "K");
  EXPECT_TRUE(v.ends_with("\\voz"));
  EXPECT_GT(v.size(), 4 * ConfigFolder(config_).size());
  EXPECT_LT(v.size(), 20 * (ConfigFolder(config_).size() + Program().size()));
}

TEST_F(Config, ReadConfigDefaultWritesTheDefaultsOfAFreshStart) {
  ASSERT_FALSE(fs::exists(box_.config_home()));
  EXPECT_EQ(ReadConfigDefault(config_, "TALVEN", "FALANDO", "Sim"), "Sim");
  EXPECT_EQ(ReadConfigDefault(config_, "TALVEN", "ECOAROPCAO", "Sim"), "Sim");
  EXPECT_EQ(ReadConfigDefault(config_, "TALVEN", "FALARTUDO", "Sim"), "Sim");
  EXPECT_EQ(ReadConfigDefault(config_, "TALVEN", "BIPSCLECSCURTOS", "NAO"), "NAO");
  EXPECT_EQ(ReadFileBytes(UserIni()),
            "[TALVEN]\nFALANDO=Sim\nECOAROPCAO=Sim\nFALARTUDO=Sim\nBIPSCLECSCURTOS=NAO\n");
  // A value present is returned trimmed and nothing is written.
  WriteFileBytes(UserIni(), "[TALVEN]\nFALANDO=\"  Nao  \"\n");
  EXPECT_EQ(ReadConfigDefault(config_, "TALVEN", "FALANDO", "Sim"), "Nao");
  EXPECT_EQ(ReadFileBytes(UserIni()), "[TALVEN]\nFALANDO=\"  Nao  \"\n");
}

// The catalogue's entries read with their own defaults, as the readers
// with a section, key and default spelled out do.
TEST_F(Config, CatalogueEntriesReadWithTheirDefaults) {
  EXPECT_EQ(ReadConfigDefault(config_, cfg::kFalando), "Sim");
  EXPECT_EQ(ReadConfigDefault(config_, cfg::kBipsClecsCurtos), "NAO");
  EXPECT_EQ(ReadFileBytes(UserIni()), "[TALVEN]\nFALANDO=Sim\nBIPSCLECSCURTOS=NAO\n");
  EXPECT_EQ(ReadConfigDirect(config_, cfg::kTabCores), "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
  EXPECT_EQ(ReadConfigDirect(config_, cfg::kDirDifones), "c:\\ferlan\\som\\difones");
  EXPECT_EQ(ReadConfigInt(config_, cfg::kVelocidade), 3);
  EXPECT_EQ(ReadConfigInt(config_, cfg::kPausaPonto), 250);
  ASSERT_TRUE(WriteConfig(config_, cfg::kVelocidade, "5"));
  ASSERT_TRUE(WriteConfig(config_, cfg::kDirDifones, ""));
  EXPECT_EQ(ReadConfigInt(config_, cfg::kVelocidade), 5);
  EXPECT_EQ(ReadConfig(config_, "TRADUTOR", "VELOCIDADE"), "5");
  // Present but empty: the direct reader gives the empty value.
  EXPECT_EQ(ReadConfigDirect(config_, cfg::kDirDifones), "");
  EXPECT_EQ(ReadConfig(config_, cfg::kEnderecoBusca), "");
  EXPECT_EQ(ReadConfigDefault(config_, cfg::kEnderecoBusca), "https://www.radios.com.br/busca?q=");
}

TEST_F(Config, WritesKeepTheRestOfTheFileByteForByte) {
  std::string before =
      "; Talven.ini do usu\xE1rio\r\n"
      "[TALVEN]\r\n"
      "FALANDO=Sim\r\n"
      "PROG.TXT=c:\\ferlan\\quiral.exe\r\n"
      "\r\n"
      "[TRADUTOR]\r\n"
      "DIRLETRAS = c:\\ferlan\\som\\letras ; pasta\r\n";
  WriteFileBytes(UserIni(), before);
  ASSERT_TRUE(WriteConfig(config_, "talven", "falando", "N\xE3o"));
  std::string after = before;
  after.replace(after.find("FALANDO=Sim"), 11, "FALANDO=N\xE3o");
  EXPECT_EQ(ReadFileBytes(UserIni()), after);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "FALANDO"), "N\xE3o");
  // Writing the value that is there leaves the file alone.
  ASSERT_TRUE(WriteConfig(config_, "TALVEN", "FALANDO", "N\xE3o"));
  EXPECT_EQ(ReadFileBytes(UserIni()), after);
}

TEST_F(Config, AFileThatCannotBeReadIsNeverReplaced) {
  // Unreadable: a folder where the file should be.
  fs::create_directories(UserIni());
  EXPECT_FALSE(WriteConfig(config_, "TALVEN", "A", "1"));
  EXPECT_TRUE(fs::is_directory(UserIni()));
  fs::remove(UserIni());
  // Far too large to be a configuration file: its keys read as absent and a
  // write leaves it alone.
  WriteFileBytes(UserIni(), "[TALVEN]\nA=velho\n");
  fs::resize_file(UserIni(), (16u << 20) + 1);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "");
  EXPECT_FALSE(WriteConfig(config_, "TALVEN", "A", "1"));
  EXPECT_EQ(fs::file_size(UserIni()), (16u << 20) + 1);
}

TEST_F(Config, LegacyCopyIsReadWhenEmptyAndWrittenWhenPresent) {
  WriteFileBytes(UserIni(), "[TALVEN]\nLEGADO=sim\nA=\n");
  WriteFileBytes(WindowsIni(), "[TALVEN]\nA=antigo\nB=velho\n");
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "");
  LoadLegacyFlag(config_);
  ASSERT_TRUE(LegacyFlag(config_));
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "antigo");
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "B"), "velho");
  WriteConfig(config_, "TALVEN", "C", "novo");
  EXPECT_EQ(ReadFileBytes(WindowsIni()), "[TALVEN]\nA=antigo\nB=velho\nC=novo\n");
  EXPECT_EQ(ReadFileBytes(UserIni()), "[TALVEN]\nLEGADO=sim\nA=\nC=novo\n");
  // The direct readers see only the configuration file.
  EXPECT_EQ(ReadConfigDirect(config_, "TALVEN", "B", "padrao"), "padrao");
}

// Two states side by side, as two runs of the family keep them: each has its
// own legacy flag, and what one writes the other reads at once from the
// file, whatever it had kept of it.
TEST_F(Config, StatesSideBySideShareTheFileButNotTheirFlags) {
  WriteFileBytes(UserIni(), "[TALVEN]\nA=\n");
  WriteFileBytes(WindowsIni(), "[TALVEN]\nA=antigo\n");
  ConfigState other(Context().platform);
  EXPECT_EQ(ReadConfig(other, "TALVEN", "A"), "");
  SetLegacyFlag(config_, true);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "antigo");
  EXPECT_FALSE(LegacyFlag(other));
  EXPECT_EQ(ReadConfig(other, "TALVEN", "A"), "");
  ASSERT_TRUE(WriteConfig(config_, "TALVEN", "B", "novo"));
  EXPECT_EQ(ReadConfig(other, "TALVEN", "B"), "novo");
  EXPECT_EQ(ReadConfigDirect(other, "TALVEN", "B", ""), "novo");
  // Only the state whose flag is on writes the legacy copy too.
  ASSERT_TRUE(WriteConfig(other, "TALVEN", "C", "so"));
  EXPECT_EQ(ReadFileBytes(WindowsIni()), "[TALVEN]\nA=antigo\nB=novo\n");
}

TEST_F(Config, LegacyWritesDoNotTouchAMissingWindowsCopy) {
  SetLegacyFlag(config_, true);
  WriteConfig(config_, "TALVEN", "C", "novo");
  EXPECT_FALSE(fs::exists(WindowsIni()));
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "C"), "novo");
}

TEST_F(Config, DirectReadersUseTheirDefaultOnlyForAbsentKeys) {
  std::string long_value(100, 'x');
  WriteFileBytes(UserIni(), "[VIDEO]\nCORFUNDO=\nFONTE=" + long_value + "\nPGM=@\\som\n");
  EXPECT_EQ(ReadConfigDirect(config_, "VIDEO", "CORFUNDO", "0"), "");
  EXPECT_EQ(ReadConfigDirect(config_, "VIDEO", "CORLETRA", "15"), "15");
  EXPECT_EQ(ReadConfigDirect(config_, "VIDEO", "FONTE", "Lucida Console"), std::string(79, 'x'));
  EXPECT_EQ(ReadConfigDirect(config_, "VIDEO", "PGM", ""), "@\\som");
}

TEST_F(Config, ReadConfigCutsLongValuesAtItsBuffer) {
  WriteFileBytes(UserIni(), "[A]\nK=" + std::string(60000, 'y') + "\n");
  EXPECT_EQ(ReadConfig(config_, "A", "K").size(), 49999u);
}

TEST(ConfigValues, NumbersAndYesNoKeys) {
  int32_t v = 0;
  EXPECT_TRUE(ParseConfigInt("7", &v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseConfigInt(" -1000 ", &v));
  EXPECT_EQ(v, -1000);
  EXPECT_TRUE(ParseConfigInt("-2147483648", &v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_TRUE(ParseConfigInt("+2147483647", &v));
  EXPECT_EQ(v, INT32_MAX);
  for (const char* bad : {"", " ", "-", "12a", "1 2", "2147483648", "0x10", "$10", "99999999999999999999"}) {
    EXPECT_FALSE(ParseConfigInt(bad, &v)) << bad;
  }
  EXPECT_TRUE(ConfigYes("Sim"));
  EXPECT_TRUE(ConfigYes("s"));
  EXPECT_FALSE(ConfigYes("NAO"));
  EXPECT_FALSE(ConfigYes(""));
  EXPECT_TRUE(ConfigNotN("1"));
  EXPECT_TRUE(ConfigNotN("Sim"));
  EXPECT_FALSE(ConfigNotN("nao"));
  EXPECT_FALSE(ConfigNotN(""));
}

TEST_F(Config, ReadConfigIntFallsBackOnInvalidValues) {
  WriteFileBytes(UserIni(), "[TRADUTOR]\nVELOCIDADE=7\n[TALVEN]\nTIMEOUT_REDE=abc\n");
  EXPECT_EQ(ReadConfigInt(config_, "TRADUTOR", "VELOCIDADE", 3), 7);
  EXPECT_EQ(ReadConfigInt(config_, "TALVEN", "TIMEOUT_REDE", 20000), 20000);
  EXPECT_EQ(ReadConfigInt(config_, "TALVEN", "TEMPOESPERAPROGVOLTAR", 1000), 1000);
}

}  // namespace kal::test

namespace kal::test {

// The installed default file holds every key the speech start-up reads, so
// that nothing falls back to a guess on a fresh installation.
TEST(DefaultConfigFile, HoldsTheFoldersAndVoiceSettings) {
  std::string text = ReadFileBytes(std::string(KALDORIN_SOURCE_DIR) + "/data/Talven.ini");
  ASSERT_FALSE(text.empty());
  auto get = [&](const char* section, const std::string& key) {
    std::string v;
    return IniLookup(text, section, key, &v) ? v : "<absent>";
  };
  EXPECT_EQ(get("TRADUTOR", "dirLetras"), "c:\\ferlan\\som\\letras");
  EXPECT_EQ(get("TRADUTOR", "DIRDIFONES"), "c:\\ferlan\\som\\difones");
  EXPECT_EQ(get("ORVANTTS", "DIR"), "c:\\ferlan\\orvantts\\");
  EXPECT_EQ(get("ORVANTTS", "BASE"), "portug");
  EXPECT_EQ(get("TALVEN", "FALANDO"), "Sim");
  for (int n = 1; n <= 5; ++n) {
    for (const char* base : {"DIFONES", "CORTEFON", "SOBRAFON", "INTERPAL", "CORTAFALA", "RAPIDINHO", "PAUSAPONTO",
                             "PAUSAVIRG", "PAUSADOISPONTOS"}) {
      EXPECT_NE(get("SINTETIZADOR", base + std::to_string(n)), "<absent>") << base << n;
    }
  }
}

// The file's comments are what a Brazilian user reads when the guide sends
// them to edit it: Portuguese, in the file's own Latin-1, and they point to
// the guide.
TEST(DefaultConfigFile, CommentsArePortugueseInLatin1AndPointToTheGuide) {
  std::string text = ReadFileBytes(std::string(KALDORIN_SOURCE_DIR) + "/data/Talven.ini");
  std::string comments;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (text[at] == ';') comments += text.substr(at, end - at) + "\n";
    at = end + 1;
  }
  ASSERT_GT(comments.size(), 2000u);
  for (const char* english : {" the ", " and ", " of ", " is ", " when ", " with ", " folder"})
    EXPECT_EQ(comments.find(english), std::string::npos) << english;
  EXPECT_NE(comments.find("configura\xE7\xF5" "es"), std::string::npos);  // "configurações" in Latin-1
  EXPECT_NE(comments.find("guia"), std::string::npos);
}

}  // namespace kal::test

namespace kal::test {

// Programs of the family writing the file at the same time: each update is
// a read-modify-write of the whole file, and none may be lost.
TEST_F(Config, ProgramsWritingAtOnceLoseNoKeys) {
  constexpr int kWriters = 2;
  constexpr int kKeysEach = 150;
  ASSERT_TRUE(WriteConfig(config_, "TALVEN", "FALANDO", "Sim"));
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      std::string section = "P" + std::to_string(w);
      for (int k = 0; k < kKeysEach; ++k)
        ok = WriteConfig(config_, section, "K" + std::to_string(k), std::to_string(k)) && ok;
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  int lost = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int k = 0; k < kKeysEach; ++k)
      if (ReadConfig(config_, "P" + std::to_string(w), "K" + std::to_string(k)) != std::to_string(k)) ++lost;
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "FALANDO"), "Sim");
}

// A holder that never lets go costs a bounded wait, and the update is not
// made rather than made unprotected.
TEST_F(Config, AStuckLockHolderGivesUpTheLockAfterTheWait) {
  ASSERT_TRUE(WriteConfig(config_, "TALVEN", "A", "1"));
  HostFileLock first(UserIni());
  ASSERT_TRUE(first.held());
  auto start = std::chrono::steady_clock::now();
  HostFileLock second(UserIni(), 100);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(second.held());
  EXPECT_GE(waited, std::chrono::milliseconds(90));
  EXPECT_LT(waited, std::chrono::seconds(3));
}

// Notices as the console would get them.
struct RecordedNotices : UserNotice {
  std::vector<std::string> lines;
  void WriteLine(std::string_view line) override { lines.emplace_back(line); }
  void Announce(std::string_view line) override { lines.emplace_back(line); }
};

// A program that keeps the lock costs one wait, told after a second and
// given up after five; later updates only try. What could not be written is
// read back from memory, and the first update that gets the lock writes it
// too.
TEST_F(Config, AKeptLockCostsOneWaitAndTheUpdatesWaitInMemory) {
  using Clock = std::chrono::steady_clock;
  ASSERT_TRUE(WriteConfig(config_, "TALVEN", "A", "1"));
  RecordedNotices notices;
  UserNotice* before = Context().platform.notice;
  SetUserNotice(Context().platform, &notices);
  {
    HostFileLock other(UserIni());
    ASSERT_TRUE(other.held());
    auto start = Clock::now();
    EXPECT_FALSE(WriteConfig(config_, "TALVEN", "B", "2"));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(4900));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(9));
    EXPECT_EQ(notices.lines, std::vector<std::string>{L1("Aguardando o arquivo de configuração")});
    start = Clock::now();
    EXPECT_EQ(ReadConfigDefault(config_, "TALVEN", "C", "3"), "3");
    EXPECT_FALSE(WriteConfig(config_, "VIDEO", "D", "4"));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(notices.lines.size(), 1u);
    EXPECT_EQ(ReadConfig(config_, "TALVEN", "B"), "2");
    EXPECT_EQ(ReadConfig(config_, "TALVEN", "C"), "3");
    EXPECT_EQ(ReadConfigDirect(config_, "VIDEO", "D", ""), "4");
    EXPECT_EQ(ReadFileBytes(UserIni()), "[TALVEN]\nA=1\n");
  }
  EXPECT_TRUE(WriteConfig(config_, "TALVEN", "E", "5"));
  EXPECT_EQ(ReadFileBytes(UserIni()), "[TALVEN]\nA=1\nB=2\nC=3\nE=5\n\n[VIDEO]\nD=4\n");
  SetUserNotice(Context().platform, before);
}


// Talven.ini is read up to its bound and refused one byte past it, and a
// pipe in its place is refused without waiting for a writer: each refusal
// is told once, its keys read as absent, and the file is left as it is.
TEST_F(Config, AFileOverTheBoundOrNoFileIsToldOnceAndLeftAlone) {
  RecordedNotices notices;
  UserNotice* before = Context().platform.notice;
  SetUserNotice(Context().platform, &notices);
  std::string text = "[TALVEN]\nA=1\n;";
  text += std::string(kMaxConfigFileBytes - text.size() - 1, 'x') + "\n";
  WriteFileBytes(UserIni(), text);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "1");
  WriteFileBytes(UserIni(), text + "x");
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "");
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "B"), "");
  EXPECT_FALSE(WriteConfig(config_, "TALVEN", "A", "2"));
  EXPECT_EQ(fs::file_size(UserIni()), kMaxConfigFileBytes + 1);
  fs::remove(UserIni());
  ASSERT_EQ(mkfifo(UserIni().c_str(), 0600), 0);
  EXPECT_EQ(ReadConfig(config_, "TALVEN", "A"), "");
  EXPECT_FALSE(WriteConfig(config_, "TALVEN", "A", "2"));
  EXPECT_TRUE(fs::is_fifo(UserIni()));
  std::string told = "O arquivo de configuração não foi lido: " + UserIni() + ": ";
  EXPECT_EQ(notices.lines, (std::vector<std::string>{L1(told + "tem mais de 16777216 bytes"),
                                                     L1(told + "é um pipe (FIFO), não um arquivo")}));
  SetUserNotice(Context().platform, before);
}

}  // namespace kal::test
