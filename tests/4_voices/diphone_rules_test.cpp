// The shipped rules and exceptions of the recorded voice: the notation of
// words that exercise each part of the rules file.
#include <gtest/gtest.h>

#include "0_base/latin1.h"
#include "4_voices/diphone/translator.h"
#include "4_voices/voices.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

class ShippedRules : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = std::string(KALDORIN_SOURCE_DIR) + "/data/diphone/";
    ASSERT_TRUE(LoadTranslatorRules(*test::Context().voices.translator, dir + "regras.rgr"));
    ASSERT_TRUE(LoadTranslatorExceptions(*test::Context().voices.translator, dir + "portug.exc"));
  }
  void TearDown() override {
    ReleaseTranslatorRules(*test::Context().voices.translator);
    ClearTranslatorExceptions(*test::Context().voices.translator);
  }
  static std::string T(const char* utf8) { return TranslateWords(*test::Context().voices.translator, L1(utf8)); }
};

TEST_F(ShippedRules, SyllablesStartAtTheirOnset) {
  EXPECT_EQ(T("casa"), "[ k/A/ z/a]");
  EXPECT_EQ(T("prato"), "[ p/r/A/ t/u]");  // cluster kept in one syllable, final o as u
  EXPECT_EQ(T("escola"), "[e/s/ k/O/ l/a]");
  EXPECT_EQ(T("filho"), "[ f/I/ lh/u]");
  EXPECT_EQ(T("hoje"), "[/O/ j/i]");
  EXPECT_EQ(T("carro rato honra"), "[ k/A/ rr/u][ rr/A/ t/u][/O~/ rr/a]");
}

TEST_F(ShippedRules, NasalVowelsAndDiphthongs) {
  EXPECT_EQ(T("ação"), "[a/ s/A~w]");
  EXPECT_EQ(T("mãe"), "[ m/A~y]");
  EXPECT_EQ(T("também"), "[ t/a~/ b/E~y]");
  EXPECT_EQ(T("homem"), "[/O/ m/e~y]");
  EXPECT_EQ(T("quando"), "[ kw/A~/ d/u]");
  EXPECT_EQ(T("muito"), "[ m/U~/y/ t/u]");  // from the exceptions
}

TEST_F(ShippedRules, GlidesAndHiatus) {
  EXPECT_EQ(T("pais"), "[ p/A/y/s]");
  EXPECT_EQ(T("país"), "[ p/a/ I/s]");
  EXPECT_EQ(T("rainha"), "[ rr/a/ I/ nh/a]");
  EXPECT_EQ(T("Brasil"), "[ b/r/a/ z/I/w]");
  EXPECT_EQ(T("dia"), "[ d/I /a]");  // the blank ends the syllable
  EXPECT_EQ(T("quilo"), "[ k/I/ l/u]");
}

TEST_F(ShippedRules, LoneStopsGetAVowelAndXVaries) {
  EXPECT_EQ(T("ritmo"), "[ rr/I/ ti/ m/u]");
  EXPECT_EQ(T("exame"), "[e/ z/A/ m/i]");
  EXPECT_EQ(T("chave xícara texto"), "[ x/A/ v/i][ x/I/ k/a/ r/a][ t/E/s/ t/u]");
  EXPECT_EQ(T("táxi"), "[ t/A/ ki/ s/i]");
}

}  // namespace
}  // namespace kal
