// The binary file, the byte buffer, folders and the directory search.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

// Runs a script; an Enter typed after the keys answers the wait that follows
// a failing line.
ScriptResult Script(const std::string& script, const std::string& keys = "") {
  return RunScriptText(script, keys + "\r");
}

class BinaryAndFolders : public ::testing::Test {
 protected:
  BinaryAndFolders() { std::filesystem::create_directories(C("")); }  // drive C:
  std::string C(const std::string& rel) { return box_.drives() + "/c/" + rel; }
  TalvenSandbox box_;
};

TEST_F(BinaryAndFolders, ByteRangesAndTheBinaryFile) {
  WriteFileBytes(C("fonte"), "0123456789abcdefghijklmnopqrstuvwxyz");
  auto r = Script(
      "criabin \"c:\\saida\"\n"
      "lebyte \"c:\\fonte\" 10 10\n"     // one byte: a
      "lebyte \"c:\\fonte\" 10 20\n"     // ten bytes: a..j
      "lebyte \"c:\\fonte\" 30 99\n"     // runs past the end: u..z
      "escrevebyte \"!\"\n"
      "gravabytes\n"
      "gravabytes\n"                     // the buffer is empty now
      "fechabin\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(ReadFileBytes(C("saida")), "aabcdefghijuvwxyz!");
}

TEST_F(BinaryAndFolders, RefusedByteCommands) {
  WriteFileBytes(C("existe"), "x");
  WriteFileBytes(C("fonte"), "0123");
  EXPECT_EQ(Script("criabin \"c:\\existe\"\n").outcome, 1);
  EXPECT_EQ(ReadFileBytes(C("existe")), "x");
  auto r = Script("criabin \"c:\\um\"\ncriabin \"c:\\dois\"\n");
  EXPECT_EQ(r.line, 2);
  EXPECT_FALSE(std::filesystem::exists(C("dois")));
  EXPECT_EQ(Script("fechabin\n").outcome, 1);
  EXPECT_EQ(Script("gravabytes\n").outcome, 1);
  EXPECT_EQ(Script("lebyte \"c:\\fonte\" 3 2\n").outcome, 1);   // first > last
  EXPECT_EQ(Script("lebyte \"c:\\fonte\" 4 4\n").outcome, 1);   // at the end
  EXPECT_EQ(Script("lebyte \"c:\\fonte\" x 4\n").outcome, 1);   // not a number
  EXPECT_EQ(Script("lebyte \"c:\\falta\" 0 1\n").outcome, 1);
  EXPECT_EQ(Script("limpabytes\nlimpabytes\n").outcome, 0);
}

TEST_F(BinaryAndFolders, TheByteBufferKeepsItsLimit) {
  WriteFileBytes(C("grande"), "");
  std::filesystem::resize_file(C("grande"), 0x8000000);  // sparse: 128 MiB of zeros
  auto r = Script("lebyte \"c:\\grande\" 0 134217728\n"
                  "lebyte \"c:\\grande\" 0 1\n");  // refused at exactly 0x8000000
  EXPECT_EQ(r.line, 2);
  r = Script("lebyte \"c:\\grande\" 0 134217728\nescrevebyte \"ab\"\nescrevebyte \"c\"\n");
  EXPECT_EQ(r.line, 3);  // the buffer holds 0x8000002 bytes and not one more
  r = Script("limpabytes\nescrevebyte \"c\"\n");
  EXPECT_EQ(r.outcome, 0);
}

TEST_F(BinaryAndFolders, FolderCommands) {
  auto r = Script("dir cria \"c:\\Nova\"\ndir troca \"c:\\NOVA\"\n"
                         "abre #1 \"aqui.txt\" &\nescreve #1 \"x\"\nfecha #1\n"
                         "busca $d dir\nescreve $d\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_TRUE(std::filesystem::exists(C("Nova/aqui.txt")));
  EXPECT_NE(r.console.find("C:\\Nova\n"), std::string::npos) << r.console;
  r = Script("dir troca \"c:\\falta\" &\ndir remove \"c:\\falta\"\n");
  EXPECT_EQ(r.line, 2);
  EXPECT_NE(r.console.find("Erro no processamento do diretório c:\\falta: não existe\n"), std::string::npos) << r.console;
  EXPECT_EQ(Script("dir apaga \"c:\\nova\"\n").outcome, 1);
  r = Script("dir remove \"c:\\nova\"\n");  // not empty
  EXPECT_EQ(r.outcome, 1);
  std::filesystem::remove(C("Nova/aqui.txt"));
  // Left first: Windows keeps a process's current folder from being removed.
  EXPECT_EQ(Script("dir troca \"..\"\ndir remove \"c:\\nova\"\n").outcome, 0);
  EXPECT_FALSE(std::filesystem::exists(C("Nova")));
}

TEST_F(BinaryAndFolders, SearchSkipsHiddenNamesAndFiltersByKind) {
  WriteFileBytes(C("b/um.txt"), "");
  WriteFileBytes(C("b/Dois.TXT"), "");
  WriteFileBytes(C("b/.oculto.txt"), "");
  WriteFileBytes(C("b/tres.doc"), "");
  std::filesystem::create_directories(C("b/sub.txt"));
  auto r = Script(
      "busca $f \"c:\\b\\*.txt\"\n"
      "enquanto $f <> \"\"\n"
      "escreve \"f:\" $f\n"
      "busca $f próximo\n"
      "fim enquanto\n"
      "busca $d dir \"c:\\b\\*\"\n"
      "enquanto $d <> \"\"\n"
      "escreve \"d:\" $d\n"
      "busca $d dir proximo\n"
      "fim enquanto\n"
      "busca $x \"c:\\b\\*.xyz\"\nescreve \"[\" $x \"]\"\n"
      "busca $x fim\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("f:Dois.TXT\nf:um.txt\n"), std::string::npos) << r.console;
  EXPECT_EQ(r.console.find("oculto"), std::string::npos);
  EXPECT_EQ(r.console.find("f:sub.txt"), std::string::npos);
  // The first result of a folder search may be anything; the next ones are folders.
  EXPECT_NE(r.console.find("d:.\nd:..\nd:sub.txt\n[]\n"), std::string::npos) << r.console;
}

}  // namespace
}  // namespace kal::test
