// Base64 files, written and read back from C++. The in-place conversions
// are files under tests/scripts/encoding/.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

ScriptResult Script(const std::string& script) { return RunScriptText(script, "\r"); }

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
