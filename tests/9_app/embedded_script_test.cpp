#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "8_interpreter/script_check.h"
#include "9_app/embedded_script.h"
#include "9_app/script_file.h"

namespace kal {

TEST(EmbeddedScript, ConfiguredAddressesReplaceTheLiterals) {
  auto lines = EmbeddedScriptLines("http://127.0.0.1:8080/busca?q=", "http://a\"b/play/");
  EXPECT_EQ(lines[kSearchAddressLine - 1], "seja $baseurl \"http://127.0.0.1:8080/busca?q=\"");
  EXPECT_EQ(lines[kStationPageLine - 1], "seja x \"http://a\"\"b/play/\"");
}

void ExpectNoError(const std::vector<std::string>& lines) {
  for (const CheckFinding& f : CheckScript(lines))
    if (f.severity == Severity::kError) ADD_FAILURE() << f.line << ":" << f.column << ": " << f.code << " " << f.message;
}

// The application as carried in the program and as its file in data/ read
// well to the script check: an error on either would be a false alarm.
TEST(EmbeddedScript, PassesTheScriptCheck) {
  for (const std::vector<std::string>& lines : {EmbeddedScriptLines(), EmbeddedScriptLines("http://h/?q=", "http://h/p/")})
    ExpectNoError(lines);
  std::vector<std::string> file;
  std::string err;
  ASSERT_TRUE(LoadScriptFile(std::string(KALDORIN_SOURCE_DIR) + "/data/zelquora.kal", &file, &err)) << err;
  EXPECT_GT(file.size(), 300u);
  ExpectNoError(file);
}

}  // namespace kal
