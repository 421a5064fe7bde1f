// The word-to-phoneme tool over the project's own rule files.
#include <gtest/gtest.h>

#include <sstream>

#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/phoneme_tool.h"

namespace kal::orvan {
namespace {

std::string Tool(const std::string& input, int* code = nullptr) {
  std::istringstream in(input);
  std::ostringstream out, err;
  OrvanSettings settings{"", std::string(KALDORIN_SOURCE_DIR) + "/data/orvan/", "portug"};
  int rc = RunPhonemeTool(in, out, err, settings);
  if (code) *code = rc;
  return out.str() + err.str();
}

TEST(OrvanPhonemeTool, WordPhonemesAndStressedVowel) {
  EXPECT_EQ(Tool("casa\nVocê\r\npão\npsst\n\n"),
            "casa\tk a z a\t2\n"
            "Você\tv o s e\t4\n"
            "pão\tp am w\t2\n"
            "psst\tp s t\t0\n"
            "\t\t0\n");
}

TEST(OrvanPhonemeTool, TheRulesOfThePortugueseFiles) {
  // One word for each family of rules, with its stressed vowel.
  EXPECT_EQ(Tool("cachorro\nguerra\naquilo\nexame\nfilho\nbanho\nhonra\nmesmo\nsol\nmar\ntempo\n"),
            "cachorro\tk a x o rr u\t4\n"
            "guerra\tg ee rr a\t2\n"
            "aquilo\ta k i l u\t3\n"
            "exame\te z @ m i\t3\n"
            "filho\tf i lh u\t2\n"
            "banho\tb @ nh u\t2\n"
            "honra\tom rr a\t1\n"
            "mesmo\tm e s2 m u\t2\n"
            "sol\ts oo w\t2\n"
            "mar\tm a r2\t2\n"
            "tempo\tt em p u\t2\n");
  // Stress the finder alone gets wrong, repaired by the exceptions file, and
  // endings whose stressed vowel the rules move onto the right letter.
  EXPECT_EQ(Tool("rainha\nhomens\npraia\nmeio\n"),
            "rainha\trr a i nh a\t3\n"
            "homens\to m em y s2\t1\n"
            "praia\tp r a y a\t3\n"
            "meio\tm e y u\t2\n");
}

// A line is read no further than its bound, and a word's control
// characters are shown, not sent to the terminal.
TEST(OrvanPhonemeTool, LinesAreBoundedAndControlCharactersShown) {
  std::string longest(1024, 'a');
  int code = 0;
  EXPECT_EQ(Tool(longest + "\n", &code).substr(0, 1025), longest + "\t");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Tool("casa\n" + longest + "a\nsol\n", &code), "casa\tk a z a\t2\nkaldorin: linha 2 tem mais de 1024 bytes\n");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Tool("\x1b[2J\n").substr(0, 6), "^[[2J\t");
}

TEST(OrvanPhonemeTool, MissingDataIsAnError) {
  std::istringstream in("casa\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunPhonemeTool(in, out, err, {"", "/no/such/", "portug"}), 1);
  EXPECT_EQ(err.str(), "kaldorin: Erro na base de dados de português\n");
}

}  // namespace
}  // namespace kal::orvan
