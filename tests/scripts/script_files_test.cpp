// Runs every .kal file under tests/scripts/ as one test case, named after
// its path (commands/escreve_joins.kal -> commands_escreve_joins), with the
// expectations written in its comment lines (tests/support/
// script_expectations.h tells their forms; README.md in this folder too).
//
// Each file runs twice, with stored lines decoded and with every line read
// by its handler from the text (case names ending in _from_text), since
// both ways must give the same run. Each run is in process, through the
// script harness: a fresh
// interpreter, console and speech log, the fake clock, and a private
// installation folder as the current folder, so that files a script writes
// vanish with the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "8_interpreter/script_check.h"
#include "9_app/script_file.h"
#include "tests/support/script_expectations.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

fs::path ScriptsFolder() { return fs::path(KALDORIN_SOURCE_DIR) / "tests" / "scripts"; }

// Paths of the .kal files relative to the scripts folder, sorted.
std::vector<std::string> ScriptFiles() {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(ScriptsFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file() && it->path().extension() == ".kal")
      files.push_back(fs::relative(it->path(), ScriptsFolder()).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A script file and whether its stored lines run decoded.
using ScriptRun = std::tuple<std::string, bool>;

// A test name GoogleTest accepts: letters, digits and '_'.
std::string CaseName(const testing::TestParamInfo<ScriptRun>& info) {
  const std::string& path = std::get<0>(info.param);
  std::string name = path.substr(0, path.size() - 4);  // without ".kal"
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return std::get<1>(info.param) ? name : name + "_from_text";
}

// Lines with numbers, for messages that show what came and what was due.
std::string Numbered(const std::vector<std::string>& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += "  " + std::to_string(i + 1) + ": [" + lines[i] + "]\n";
  return s.empty() ? "  (nothing)\n" : s;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return lines;
}

void CheckEnd(const ScriptExpectations& want, const ScriptResult& got) {
  if (want.exit_code) {
    EXPECT_EQ(got.exit_code, *want.exit_code) << "the run did not end with the expected code";
  }
  if (want.error_line) {
    EXPECT_EQ(got.end.reason, EndReason::kFailed)
        << "the script did not fail: it ended with code " << got.exit_code << " at line " << got.line;
    EXPECT_EQ(got.line, *want.error_line) << "the script failed at another line";
  } else if (!want.exit_code) {
    EXPECT_EQ(got.end.reason, EndReason::kNormal)
        << "the script did not end normally: code " << got.exit_code << " at line " << got.line;
  }
}

class ScriptFile : public testing::TestWithParam<ScriptRun> {};

TEST_P(ScriptFile, Runs) {
  const std::string& file = std::get<0>(GetParam());
  fs::path path = ScriptsFolder() / file;
  std::string bytes = ReadFileBytes(path.string());
  std::vector<std::string> lines;
  std::string err;
  ASSERT_TRUE(SplitScriptText(bytes, &lines, &err)) << err;
  ScriptExpectations want;
  ASSERT_TRUE(ParseExpectations(lines, &want, &err)) << file << ": " << err;

  TalvenSandbox sandbox;
  fs::current_path(sandbox.tmp().path());
  ScriptResult got = RunScriptDecoded(std::get<1>(GetParam()), bytes, want.keys, want.params);

  CheckEnd(want, got);
  EXPECT_EQ(got.console, want.console) << "console, as it came:\n"
                                       << Numbered(SplitLines(got.console)) << "as expected:\n"
                                       << Numbered(SplitLines(want.console));
  if (want.check_speech) {
    EXPECT_EQ(got.speech, want.speech) << "speech, as it came:\n"
                                       << Numbered(got.speech) << "as expected:\n"
                                       << Numbered(want.speech);
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptFile, testing::Combine(testing::ValuesIn(ScriptFiles()), testing::Bool()),
                         CaseName);

// The script check raises no false alarm on the script tests: no error on a
// line before the one the run fails at (none at all when it runs clean).
// A few scripts hold a broken line behind a one-line SE that is never true,
// to show that the run does not read it: the check rightly says it would
// fail.
TEST(ScriptFiles, TheCheckFindsNoErrorWhereTheRunGoesOn) {
  const std::set<std::pair<std::string, int>> never_run = {
      {"arithmetic/trailing_text_fails_after_assigning_2.kal", 3},
      {"conditions/rest_after_the_condition_is_the_command.kal", 6},
      {"flow/if_false_condition_skips_senao_word.kal", 4},
      {"line_code/conditions_compare_as_their_texts_3.kal", 4},
  };
  for (const std::string& file : ScriptFiles()) {
    std::vector<std::string> lines;
    std::string err;
    ScriptExpectations want;
    ASSERT_TRUE(SplitScriptText(ReadFileBytes((ScriptsFolder() / file).string()), &lines, &err)) << err;
    ASSERT_TRUE(ParseExpectations(lines, &want, &err)) << file << ": " << err;
    if (want.exit_code && !want.error_line) continue;  // ends early on its own
    int fails_at = want.error_line ? *want.error_line : static_cast<int>(lines.size()) + 1;
    for (const CheckFinding& f : CheckScript(lines))
      if (f.severity == Severity::kError && f.line < fails_at && never_run.count({file, f.line}) == 0)
        ADD_FAILURE() << file << ":" << f.line << ":" << f.column << ": " << f.code << " " << f.message;
  }
}

// A folder that lost its scripts would pass without checking anything.
TEST(ScriptFiles, AreFound) { EXPECT_GT(ScriptFiles().size(), 10u) << ScriptsFolder(); }

}  // namespace
}  // namespace kal::test
