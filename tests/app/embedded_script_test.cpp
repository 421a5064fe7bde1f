#include <gtest/gtest.h>

#include "9_app/embedded_script.h"
#include "0_base/latin1.h"

namespace kal {

TEST(EmbeddedScript, HasTheTableShape) {
  auto lines = EmbeddedScriptLines();
  ASSERT_EQ(lines.size(), static_cast<size_t>(kZelquoraLineCount));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(lines[i][0], '*') << "line " << i + 1;
  EXPECT_EQ(lines[1], L1("* Zelquora - programa para buscar rádios;"));
  EXPECT_EQ(lines[2], L1("* Versão 2020.1 em 27/05/2020;"));
  EXPECT_EQ(lines[6], "seja $versao \"2024.1\"");
  EXPECT_EQ(lines[kSearchAddressLine - 1], "seja $baseurl \"https://www.radios.com.br/busca?q=\"");
  EXPECT_EQ(lines[kStationPageLine - 1], "seja x \"http://www.radios.com.br/play/\"");
}

TEST(EmbeddedScript, ConfiguredAddressesReplaceTheLiterals) {
  auto lines = EmbeddedScriptLines("http://127.0.0.1:8080/busca?q=", "http://a\"b/play/");
  EXPECT_EQ(lines[kSearchAddressLine - 1], "seja $baseurl \"http://127.0.0.1:8080/busca?q=\"");
  EXPECT_EQ(lines[kStationPageLine - 1], "seja x \"http://a\"\"b/play/\"");
  EXPECT_EQ(lines.size(), static_cast<size_t>(kZelquoraLineCount));
}

}  // namespace kal
