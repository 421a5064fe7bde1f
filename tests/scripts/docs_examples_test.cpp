// Every example in the user documentation is run: each ```kal block of the
// files in docs/ is a script test with the same expectation comments as the
// .kal files here (README.md in this folder), so the reference cannot show
// a result that the program does not give. Each runs twice: with stored
// lines decoded, and with every line read by its handler from the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "1_platform/fake/recording_accessibility.h"
#include "1_platform/fake/recording_desktop.h"
#include "8_interpreter/script_check.h"
#include "9_app/script_file.h"
#include "tests/support/script_expectations.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

fs::path DocsFolder() { return fs::path(KALDORIN_SOURCE_DIR) / "docs"; }

// The folders of the documentation: the English one and the Brazilian
// Portuguese one, whose reference shows the same examples.
const char* const kDocFolders[] = {"", "pt_BR"};

struct DocExample {
  std::string name;  // "language_md_3": the third example of language.md
  std::string text;  // the script, lines ended by '\n'
};

// How GoogleTest shows an example in its messages: by its name (not as
// the bytes of the object).
void PrintTo(const DocExample& example, std::ostream* out) { *out << example.name; }

// The ```kal blocks of one Markdown file, in order.
void CollectExamples(const fs::path& file, std::vector<DocExample>* out) {
  std::string bytes = ReadFileBytes(file.string());
  std::string stem = file.filename().string();
  std::replace(stem.begin(), stem.end(), '.', '_');
  size_t pos = 0;
  int count = 0;
  while ((pos = bytes.find("\n```kal\n", pos)) != std::string::npos) {
    size_t start = pos + 8;
    size_t end = bytes.find("\n```", start - 1);
    if (end == std::string::npos) break;
    out->push_back({stem + "_" + std::to_string(++count), bytes.substr(start, end + 1 - start)});
    pos = end + 1;
  }
}

std::vector<DocExample> DocExamples() {
  std::vector<fs::path> files;
  for (const char* folder : kDocFolders) {
    std::error_code ec;
    std::vector<fs::path> here;
    for (fs::directory_iterator it(DocsFolder() / folder, ec), end; !ec && it != end; it.increment(ec))
      if (it->path().extension() == ".md") here.push_back(it->path());
    std::sort(here.begin(), here.end());
    files.insert(files.end(), here.begin(), here.end());
  }
  std::vector<DocExample> examples;
  for (const fs::path& f : files) CollectExamples(f, &examples);
  return examples;
}

// An example and whether its stored lines run decoded.
using DocRun = std::tuple<DocExample, bool>;

class DocExampleRun : public testing::TestWithParam<DocRun> {};

TEST_P(DocExampleRun, GivesWhatTheDocumentationShows) {
  const std::string& bytes = std::get<0>(GetParam()).text;
  std::vector<std::string> lines;
  std::string err;
  ASSERT_TRUE(SplitScriptText(bytes, &lines, &err)) << err;
  ScriptExpectations want;
  ASSERT_TRUE(ParseExpectations(lines, &want, &err)) << err;

  TalvenSandbox sandbox;
  fs::current_path(sandbox.tmp().path());
  // The examples show the commands that drive other programs as they run
  // without a desktop, whatever desktop the tests run on.
  auto desktop = std::make_unique<RecordingDesktop>();
  desktop->availability_ = DesktopAvailability::kNoDisplay;
  SetDesktopAutomation(Context().platform, std::move(desktop));
  auto accessibility = std::make_unique<RecordingAccessibility>();
  accessibility->available = false;
  SetAccessibility(Context().platform, std::move(accessibility));
  ScriptResult got = RunScriptDecoded(std::get<1>(GetParam()), bytes, want.keys, want.params);

  if (want.exit_code) {
    EXPECT_EQ(got.exit_code, *want.exit_code);
  }
  if (want.error_line) {
    EXPECT_EQ(got.end.reason, EndReason::kFailed) << "ended with code " << got.exit_code;
    EXPECT_EQ(got.line, *want.error_line);
  } else if (!want.exit_code) {
    EXPECT_EQ(got.end.reason, EndReason::kNormal) << "code " << got.exit_code << " at line " << got.line;
  }
  EXPECT_EQ(got.console, want.console) << "the example:\n" << bytes;
  if (want.check_speech) {
    EXPECT_EQ(got.speech, want.speech) << "the example:\n" << bytes;
  }
}

INSTANTIATE_TEST_SUITE_P(Docs, DocExampleRun, testing::Combine(testing::ValuesIn(DocExamples()), testing::Bool()),
                         [](const testing::TestParamInfo<DocRun>& info) {
                           const std::string& name = std::get<0>(info.param).name;
                           return std::get<1>(info.param) ? name : name + "_from_text";
                         });

// The script check raises no false alarm on the reference: an example that
// runs to its end without a failure gives no error.
TEST(DocExamples, ThatRunCleanPassTheScriptCheck) {
  for (const DocExample& example : DocExamples()) {
    std::vector<std::string> lines;
    std::string err;
    ScriptExpectations want;
    ASSERT_TRUE(SplitScriptText(example.text, &lines, &err)) << err;
    ASSERT_TRUE(ParseExpectations(lines, &want, &err)) << err;
    if (want.error_line || want.exit_code) continue;
    for (const CheckFinding& f : CheckScript(lines))
      if (f.severity == Severity::kError)
        ADD_FAILURE() << example.name << ":" << f.line << ":" << f.column << ": " << f.code << " " << f.message;
  }
}

// A reference whose examples were no longer found would check nothing.
TEST(DocExamples, AreFound) { EXPECT_GT(DocExamples().size(), 20u) << DocsFolder(); }

// The Portuguese reference is a translation: its examples are the English
// ones, the same scripts in the same order, so neither can drift.
TEST(DocExamples, ThePortugueseReferenceShowsTheEnglishExamples) {
  std::vector<DocExample> english, portuguese;
  CollectExamples(DocsFolder() / "language.md", &english);
  CollectExamples(DocsFolder() / "pt_BR" / "referencia.md", &portuguese);
  ASSERT_EQ(portuguese.size(), english.size());
  for (size_t i = 0; i < english.size(); ++i) EXPECT_EQ(portuguese[i].text, english[i].text) << english[i].name;
}

}  // namespace
}  // namespace kal::test
