// Text channels and whole-file commands, run as scripts in a private drives
// folder (C:\ is <sandbox>/drives/c).
#include <gtest/gtest.h>

#include <filesystem>

#include "1_platform/host_file.h"
#include "8_interpreter/text_file.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

// Runs a script; an Enter typed after the keys answers the wait that follows
// a failing line.
ScriptResult Script(const std::string& script, const std::string& keys = "") {
  return RunScriptText(script, keys + "\r");
}

class FileCommands : public ::testing::Test {
 protected:
  FileCommands() { std::filesystem::create_directories(C("")); }  // drive C:
  std::string C(const std::string& rel) { return box_.drives() + "/c/" + rel; }
  TalvenSandbox box_;
};

TEST_F(FileCommands, ReadingLinesLeavesStatusZeroThenOneAtTheEnd) {
  WriteFileBytes(C("t/tres.txt"), "um\r\ndois\ntres\r\n");
  auto r = Script(
      "abre #1 \"c:\\T\\TRES.TXT\"\n"
      "le #1 $a\ncheca s\nescreve $a \" \" s\n"
      "le #1 $a\ncheca s\nescreve $a \" \" s\n"
      "le #1 $a\ncheca s\nescreve $a \" \" s\n"
      "le #1 $a\ncheca s\nescreve \"[\" $a \"] \" s\n"
      "fecha #1\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("um 0\ndois 0\ntres 0\n[] 1\n"), std::string::npos) << r.console;
}

TEST_F(FileCommands, AppendModeCreatesThenAppends) {
  auto r = Script(
      "abre #2 \"c:\\novo.txt\" &\n"
      "escreve #2 \"a\" \"b\" &\n"
      "escreve #2 \"c\"\n"
      "escreve #2\n"
      "checa s\n"
      "fecha #2\n"
      "abre #2 \"c:\\novo.txt\" &\n"
      "escreve #2 \"fim\"\n"
      "fecha #2\n"
      "escreve s\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(ReadFileBytes(C("novo.txt")), "abc\r\n\r\nfim\r\n");
}

TEST_F(FileCommands, OpenFailuresSayTheName) {
  auto r = Script("abre #12 \"c:\\x.txt\"\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("Esperava um canal de #0 a #9: #12\n"), std::string::npos) << r.console;
  r = Script("abre #1 \"c:\\falta.txt\"\n");
  EXPECT_NE(r.console.find("Erro na abertura do arquivo c:\\falta.txt: não existe\n"), std::string::npos) << r.console;
  std::filesystem::create_directories(C("pasta"));
  r = Script("abre #1 \"c:\\pasta\"\n");  // a folder is not a text file
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("Erro na abertura do arquivo c:\\pasta: é uma pasta\n"), std::string::npos) << r.console;
}

TEST_F(FileCommands, ReadingAClosedOrWritingChannelFailsWithAMessage) {
  auto r = Script("le #3 $a\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("Canal #3 não está aberto\n"), std::string::npos);
  r = Script("abre #3 \"c:\\w.txt\" &\nle #3 $a\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 2);
  EXPECT_NE(r.console.find("Canal #3 não está aberto para leitura\n"), std::string::npos);
  r = Script("escreve #4 \"x\"\n");
  EXPECT_EQ(r.line, 1);
  EXPECT_NE(r.console.find("Canal #4 não está aberto\n"), std::string::npos);
}

TEST_F(FileCommands, ReopeningAChannelClosesWhatItHeld) {
  auto r = Script(
      "abre #1 \"c:\\a.txt\" &\nescreve #1 \"primeiro\"\n"
      "abre #1 \"c:\\b.txt\" &\nescreve #1 \"segundo\"\nfecha #1\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(ReadFileBytes(C("a.txt")), "primeiro\r\n");
  EXPECT_EQ(ReadFileBytes(C("b.txt")), "segundo\r\n");
}

TEST_F(FileCommands, WritingToAFullDiskLeavesANonZeroStatus) {
  auto r = Script("abre #1 \"/dev/full\" &\nescreve #1 \"x\"\ncheca s\nescreve \"s=\" s\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(r.console.find("s=0\n"), std::string::npos) << r.console;
  EXPECT_NE(r.console.find("s=28\n"), std::string::npos) << r.console;  // no space left
}

TEST_F(FileCommands, RemoveIsSilentWithAmpersand) {
  auto r = Script("seja $t \"c:\\nada.txt\"\nremove $t &\nremove $t\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 3);
  EXPECT_NE(r.console.find("Erro no apagamento do arquivo c:\\nada.txt: não existe\n"), std::string::npos);
  WriteFileBytes(C("sim.txt"), "x");
  std::filesystem::create_directories(C("dir"));
  r = Script("remove \"c:\\SIM.TXT\"\nremove \"c:\\dir\" &\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_FALSE(std::filesystem::exists(C("sim.txt")));
  EXPECT_TRUE(std::filesystem::exists(C("dir")));  // never a folder
}

TEST_F(FileCommands, RenameNeverReplacesAndIsSilentWithAmpersand) {
  auto r = Script("renomeia \"c:\\nao.txt\" \"c:\\sim.txt\" &\n");
  EXPECT_EQ(r.outcome, 0);
  WriteFileBytes(C("um.txt"), "1");
  WriteFileBytes(C("dois.txt"), "2");
  r = Script("renomeia \"c:\\um.txt\" \"c:\\dois.txt\"\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(ReadFileBytes(C("dois.txt")), "2");
  r = Script("renomeia \"c:\\um.txt\" \"c:\\tres.txt\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(ReadFileBytes(C("tres.txt")), "1");
}

TEST_F(FileCommands, CopyReportsWriteErrorsAndNeverEmptiesTheSource) {
  std::string big(70000, 'z');
  WriteFileBytes(C("fonte.bin"), big);
  auto r = Script("replica \"c:\\fonte.bin\" \"c:\\copia.bin\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(ReadFileBytes(C("copia.bin")), big);
  r = Script("replica \"c:\\fonte.bin\" \"/dev/full\"\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("Erro na escrita de arquivo /dev/full\n"), std::string::npos) << r.console;
  r = Script("replica \"c:\\fonte.bin\" \"/dev/full\" &\n");
  EXPECT_EQ(r.outcome, 0);
  r = Script("replica \"c:\\fonte.bin\" \"c:\\FONTE.BIN\"\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(ReadFileBytes(C("fonte.bin")), big);
  r = Script("replica \"c:\\falta.bin\" \"c:\\copia.bin\" &\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(ReadFileBytes(C("copia.bin")), big);  // left as it was
  r = Script("replica \"c:\\falta.bin\" \"c:\\copia.bin\"\n");
  EXPECT_EQ(r.outcome, 1);
}

TEST_F(FileCommands, NamesOutsideAsciiAreLatin1InScriptsAndUtf8OnDisk) {
  auto r = Script("abre #1 \"c:\\ação.txt\" &\nescreve #1 \"é\"\nfecha #1\n"
                         "tamarq \"c:\\AÇÃO.TXT\" t\nescreve t\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(ReadFileBytes(C("ação.txt")), "\xE9\r\n");
  EXPECT_NE(r.console.find("3\n"), std::string::npos);
}

// Accented names reach the disk as UTF-8 and come back to scripts in
// Latin-1, through every command that names, lists or moves a file.
TEST_F(FileCommands, AccentedNamesAreListedReadBackMovedAndRemoved) {
  WriteFileBytes(C("pasta/ação.txt"), "linha \xE9\r\n");
  WriteFileBytes(C("pasta/índice.doc"), "");
  auto r = Script(
      "busca $f \"c:\\pasta\\*.txt\"\nescreve \"f:\" $f\nbusca $f fim\n"
      "abre #1 \"c:\\PASTA\\AÇÃO.TXT\"\nle #1 $l\nfecha #1\nescreve \"l:\" $l\n"
      "renomeia \"c:\\pasta\\ação.txt\" \"c:\\pasta\\lição.txt\"\n"
      "replica \"c:\\pasta\\lição.txt\" \"c:\\pasta\\cópia.txt\"\n"
      "remove \"c:\\pasta\\índice.doc\"\n"
      "dir cria \"c:\\pasta\\mês\"\ndir troca \"c:\\pasta\\mês\"\nbusca $d dir\nescreve \"d:\" $d\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("f:ação.txt\n"), std::string::npos) << r.console;
  EXPECT_NE(r.console.find("l:linha é\n"), std::string::npos) << r.console;
  EXPECT_NE(r.console.find("d:C:\\pasta\\mês\n"), std::string::npos) << r.console;
  EXPECT_FALSE(std::filesystem::exists(HostFsPath(C("pasta/ação.txt"))));
  EXPECT_EQ(ReadFileBytes(C("pasta/lição.txt")), "linha \xE9\r\n");
  EXPECT_EQ(ReadFileBytes(C("pasta/cópia.txt")), "linha \xE9\r\n");
  EXPECT_FALSE(std::filesystem::exists(HostFsPath(C("pasta/índice.doc"))));
  EXPECT_TRUE(std::filesystem::is_directory(HostFsPath(C("pasta/mês"))));
}

TEST_F(FileCommands, HumanSizesUseTheUsersDecimalSeparator) {
  WriteFileBytes(C("zero"), "");
  WriteFileBytes(C("kb"), std::string(1536, 'x'));
  WriteFileBytes(C("mb"), std::string(1048576, 'x'));
  {
    ScopedEnv lang("LC_ALL", "pt_BR.UTF-8");
    auto r = Script("htamarq \"c:\\zero\" a\nhtamarq \"c:\\kb\" b\nhtamarq \"c:\\mb\" c\n"
                           "escreve a \"|\" b \"|\" c\n");
    EXPECT_NE(r.console.find("0,00 B|1,50KB|1,00 MB\n"), std::string::npos) << r.console;
  }
  ScopedEnv lang("LC_ALL", "C");
  auto r = Script("htamarq \"c:\\kb\" b\nescreve b\nhtamarq \"c:\\falta\" b\n");
  EXPECT_NE(r.console.find("1.50KB\n"), std::string::npos) << r.console;
  EXPECT_EQ(r.line, 3);
}


// A line read from a file stops at its bound: a line of exactly the bound
// is whole (status 0); one byte more gives the bound's worth with status 2
// and the rest at the next read, as a connection's line does.
TEST_F(FileCommands, ALineReadStopsAtTheBoundAndGoesOnAtTheNextRead) {
  const size_t max = TextFile::kMaxLine;
  WriteFileBytes(C("longas.txt"), std::string(max, 'a') + "\r\n" + std::string(max + 1, 'b') + "\nfim");
  int err = 0;
  auto file = TextFile::Open(C("longas.txt"), false, &err);
  ASSERT_TRUE(file) << err;
  std::string line;
  EXPECT_EQ(file->ReadLine(&line), 0);
  EXPECT_EQ(line, std::string(max, 'a'));
  EXPECT_EQ(file->ReadLine(&line), kStatusLineCut);
  EXPECT_EQ(line, std::string(max, 'b'));
  EXPECT_EQ(file->ReadLine(&line), 0);
  EXPECT_EQ(line, "b");
  EXPECT_EQ(file->ReadLine(&line), 0);
  EXPECT_EQ(line, "fim");
  EXPECT_EQ(file->ReadLine(&line), 1);
}

}  // namespace
}  // namespace kal::test
