#include <gtest/gtest.h>

#include "9_app/embedded_script.h"

namespace kal {

TEST(EmbeddedScript, ConfiguredAddressesReplaceTheLiterals) {
  auto lines = EmbeddedScriptLines("http://127.0.0.1:8080/busca?q=", "http://a\"b/play/");
  EXPECT_EQ(lines[kSearchAddressLine - 1], "seja $baseurl \"http://127.0.0.1:8080/busca?q=\"");
  EXPECT_EQ(lines[kStationPageLine - 1], "seja x \"http://a\"\"b/play/\"");
}

}  // namespace kal
