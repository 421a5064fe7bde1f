// The encoding commands as scripts: in-place conversions and Base64 files.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

ScriptResult Script(const std::string& script) { return RunScriptText(script, "\r"); }

TEST(EncodingCommands, InPlaceConversions) {
  auto r = Script(
      "seja $a \"rádio rock\"\nansiparautf8 $a\nhttp $a\nescreve $a\n"
      "seja $b \"rádio rock\"\nhttp $b\nescreve $b\n"
      "seja $c \"abc\"\ncodbase64 $c\nescreve $c\ndecodbase64 $c\nescreve $c\n"
      "seja $d \"a=b\"\nadquoted $d\nescreve $d\n"
      "seja $e \"a=3Db=\"\nremovequoted $e\nescreve $e\n"
      "seja $f \"\"\nseja $f \"rádio\"\nansiparautf8 $f\nutf8paraansi $f\nescreve $f\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("r%C3%A1dio%20rock\nr%E1dio%20rock\nYWJj\nabc\na=3Db\na=b\nrádio\n"), std::string::npos)
      << r.console;
}

TEST(EncodingCommands, TheOperandMustBeAVariable) {
  auto r = Script("http \"a b\"\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(Script("codbase64\n").outcome, 1);
  EXPECT_EQ(Script("seja x \"YW Jj\"\ndecodbase64 x resto ignorado\nescreve x\n").outcome, 0);
}

TEST(EncodingCommands, Base64Files) {
  TalvenSandbox box;
  std::string c = box.drives() + "/c/";
  std::string data;
  for (int i = 0; i < 3000; ++i) data.push_back(static_cast<char>(i * 7));
  WriteFileBytes(c + "dados.bin", data);
  auto r = Script("codarqbase64 \"c:\\dados.bin\" \"c:\\dados.b64\"\n"
                  "decodarqbase64 \"c:\\dados.b64\" \"c:\\volta.bin\"\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  std::string text = ReadFileBytes(c + "dados.b64");
  EXPECT_EQ(text.substr(64, 2), "\r\n");
  EXPECT_EQ(text.size(), 4000 + 63 * 2);  // 62 full lines and a last one of 32
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(ReadFileBytes(c + "volta.bin"), data);
  WriteFileBytes(c + "vazio.bin", "");
  r = Script("codarqbase64 \"c:\\vazio.bin\" \"c:\\vazio.b64\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(ReadFileBytes(c + "vazio.b64"), "");
  EXPECT_EQ(Script("codarqbase64 \"c:\\falta\" \"c:\\x.b64\"\n").outcome, 1);
  EXPECT_FALSE(std::filesystem::exists(c + "x.b64"));
  EXPECT_EQ(Script("decodarqbase64 \"c:\\falta\" \"c:\\x.bin\"\n").outcome, 1);
  EXPECT_EQ(Script("decodarqbase64 \"c:\\dados.b64\" \"c:\\naoexiste\\x.bin\"\n").outcome, 1);
}

}  // namespace
}  // namespace kal::test
