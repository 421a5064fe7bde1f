// The command line: options in any order before the script, both value
// forms, "--" and the script ending the options, and each misuse refused
// with a message that names it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "9_app/options.h"
#include "kaldorin_version.h"

namespace kal::test {
namespace {

struct Parsed {
  bool ok;
  Options opts;
  std::string err;
};

Parsed Parse(std::vector<std::string> words) {
  words.insert(words.begin(), "kaldorin");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  Parsed p;
  p.ok = ParseOptions(static_cast<int>(words.size()), argv.data(), &p.opts, &p.err);
  return p;
}

TEST(Options, OrderOfOptionsDoesNotMatter) {
  for (const auto& words : {std::vector<std::string>{"--headless", "--speech-log", "s.log", "--view", "r.info"},
                            std::vector<std::string>{"--view", "r.info", "--speech-log=s.log", "--headless"}}) {
    Parsed p = Parse(words);
    ASSERT_TRUE(p.ok) << p.err;
    EXPECT_TRUE(p.opts.headless);
    EXPECT_EQ(p.opts.speech_log, "s.log");
    EXPECT_EQ(p.opts.view_file, "r.info");
    EXPECT_TRUE(p.opts.script.empty());
  }
}

TEST(Options, ScriptAndEverythingAfterItBelongToTheScript) {
  Parsed p = Parse({"--headless", "a.kal", "--help", "-h", "x y"});
  ASSERT_TRUE(p.ok) << p.err;
  EXPECT_FALSE(p.opts.help);
  EXPECT_EQ(p.opts.script, "a.kal");
  EXPECT_EQ(p.opts.params, (std::vector<std::string>{"--help", "-h", "x y"}));

  // "--" ends the options: a script whose name starts with a dash.
  p = Parse({"--headless", "--", "-odd.kal", "--view"});
  ASSERT_TRUE(p.ok) << p.err;
  EXPECT_EQ(p.opts.script, "-odd.kal");
  EXPECT_EQ(p.opts.params, (std::vector<std::string>{"--view"}));
}

TEST(Options, HelpInBothSpellingsAndTheTextListsEveryOption) {
  EXPECT_TRUE(Parse({"-h"}).opts.help);
  EXPECT_TRUE(Parse({"--headless", "--help"}).opts.help);
  EXPECT_TRUE(Parse({"--version"}).opts.version);
  EXPECT_TRUE(Parse({"--version", "--view", "a", "b.kal"}).ok);
  EXPECT_EQ(std::string(VersionText()), "kaldorin " KALDORIN_VERSION_TEXT "\n");
  for (bool portuguese : {true, false}) {
    std::string usage = UsageText(portuguese);
    for (const char* name : {"-h,", "--help", "--version", "--headless", "--window", "--speech-log", "--braille-log",
                             "--view [/L]", "--phonemes", "--orvan-dir", "--check", "--strict", "--lsp", "--"})
      EXPECT_NE(usage.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(std::string(UsageText(false)).rfind("usage: kaldorin", 0), 0u);
  EXPECT_EQ(std::string(UsageText(true)).rfind("uso: kaldorin", 0), 0u);
}

TEST(Options, ViewerSkipsTheEditorsSwitch) {
  Parsed p = Parse({"--view", "/L", "r.info"});
  ASSERT_TRUE(p.ok) << p.err;
  EXPECT_EQ(p.opts.view_file, "r.info");
}

TEST(Options, MisuseIsRefusedWithItsReason) {
  struct Case {
    std::vector<std::string> words;
    std::string err;
  } cases[] = {
      {{"--speech-log"}, "--speech-log precisa de um nome de arquivo"},
      {{"--speech-log="}, "--speech-log precisa de um nome de arquivo"},
      {{"--braille-log"}, "--braille-log precisa de um nome de arquivo"},
      {{"--view", "/L"}, "--view precisa de um nome de arquivo"},
      {{"--orvan-dir"}, "--orvan-dir precisa de uma pasta"},
      {{"--bogus"}, "opção desconhecida: --bogus"},
      {{"-x"}, "opção desconhecida: -x"},
      {{"--headless=yes"}, "esta opção não leva valor: --headless"},
      {{"--view", "r.info", "a.kal"}, "--view, --phonemes e um script não podem ser usados juntos"},
      {{"--phonemes", "a.kal"}, "--view, --phonemes e um script não podem ser usados juntos"},
      {{"--strict", "a.kal"}, "--strict só vale com --check"},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.words);
    EXPECT_FALSE(p.ok) << c.words[0];
    EXPECT_EQ(p.err, c.err) << c.words[0];
  }
}

}  // namespace
}  // namespace kal::test
