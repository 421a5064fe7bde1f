// The script check on two small collections of scripts in check_corpus/:
// broken/ holds scripts with one mistake each, whose first line names the
// code and the line it must be found at ("* expect K113 line 3"), and
// nothing else may be found in them; valid/ holds scripts that use the
// language's odd corners correctly, where no error may be found.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "8_interpreter/script_check.h"
#include "9_app/script_file.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

fs::path CorpusFolder(const char* part) {
  return fs::path(KALDORIN_SOURCE_DIR) / "tests" / "8_interpreter" / "check_corpus" / part;
}

std::vector<fs::path> Scripts(const char* part) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(CorpusFolder(part)))
    if (entry.path().extension() == ".kal") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> Load(const fs::path& file) {
  std::vector<std::string> lines;
  std::string err;
  EXPECT_TRUE(LoadScriptFile(file.string(), &lines, &err)) << err;
  return lines;
}

std::string Shown(const std::vector<CheckFinding>& found) {
  std::string s;
  for (const CheckFinding& f : found) s += "\n  " + std::to_string(f.line) + ": " + f.code + " " + f.message;
  return s;
}

TEST(CheckCorpus, EachBrokenScriptIsCaughtWhereItsFirstLineSays) {
  std::vector<fs::path> files = Scripts("broken");
  EXPECT_GE(files.size(), 40u);
  std::set<std::string> codes;
  for (const fs::path& file : files) {
    std::vector<std::string> lines = Load(file);
    std::smatch m;
    ASSERT_FALSE(lines.empty());
    ASSERT_TRUE(std::regex_match(lines[0], m, std::regex(R"(\* expect (K\d{3}) line (\d+))"))) << file;
    std::vector<CheckFinding> found = CheckScript(lines);
    ASSERT_EQ(found.size(), 1u) << file.filename() << Shown(found);
    EXPECT_EQ(found[0].code, m[1].str()) << file.filename() << Shown(found);
    EXPECT_EQ(found[0].line, std::stoi(m[2].str())) << file.filename() << Shown(found);
    EXPECT_LT(found[0].column, found[0].end_column) << file.filename() << Shown(found);
    codes.insert(m[1].str());
  }
  // Every code the check gives, but the file that cannot be read and the
  // name table's bound (tested by themselves), has a script here.
  for (int i = 0; i < kCheckCodeCount; ++i) {
    std::string id(InfoOf(static_cast<CheckCode>(i)).id);
    if (id == "K100" || id == "K118") continue;
    EXPECT_TRUE(codes.count(id)) << id << " has no broken script";
  }
}

TEST(CheckCorpus, NoErrorInTheValidScripts) {
  std::vector<fs::path> files = Scripts("valid");
  EXPECT_GE(files.size(), 3u);
  for (const fs::path& file : files) {
    std::vector<CheckFinding> found = CheckScript(Load(file));
    for (const CheckFinding& f : found)
      EXPECT_EQ(f.severity, Severity::kWarning) << file.filename() << ":" << f.line << ": " << f.code << " " << f.message;
  }
}

}  // namespace
}  // namespace kal::test
