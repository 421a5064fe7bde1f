#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "0_base/latin1.h"
#include "4_voices/diphone/translator.h"
#include "4_voices/diphone/translator_tables.h"
#include "4_voices/voices.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

namespace fs = std::filesystem;

class Translator : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kal_translator_" + std::to_string(std::random_device()()));
    fs::create_directories(dir_);
    Write("regras.rgr",
          "; consonants start a syllable\n"
          "(C)= k\n(F)= f\n(M)= m\n(S)= s\n(L)=l|coda\n(R)%=r\n(R)= r\n(T)= t\n"
          "(A~)=a~\n(A)=a\n(E')=E\n(E)=e\n(O)=o\n(I)=i\n(U)=u\n");
    Write("portug.exc", "mau=ma'u\nzz=bolo|a comment\n");
    ASSERT_TRUE(LoadTranslatorRules(*test::Context().voices.translator, Path("regras.rgr")));
    ASSERT_TRUE(LoadTranslatorExceptions(*test::Context().voices.translator, Path("portug.exc")));
  }
  void TearDown() override {
    ReleaseTranslatorRules(*test::Context().voices.translator);
    ClearTranslatorExceptions(*test::Context().voices.translator);
    fs::remove_all(dir_);
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(Translator, PreMappingSpellsAccentedLetters) {
  EXPECT_EQ(translator::PreMap(L1("ação")), "assa~o");
  EXPECT_EQ(translator::PreMap(L1("PÊSSEGO Über")), "Pe^SSEGO uber");
  EXPECT_EQ(translator::PreMap(L1("ñ ð\x01")), "nh     ");
  // Signs that keep their own byte.
  EXPECT_EQ(translator::PreMap(L1("×§")), L1("×§"));
}

TEST_F(Translator, PreMappingOfWYAndApostrophe) {
  EXPECT_EQ(translator::PreMap("web y show"), "ueb i shou");
  EXPECT_EQ(translator::PreMap("w. d'agua D'Avila"), "w. dagua DAvila");
}

TEST_F(Translator, ConsonantOnlyWordsAreSpelled) {
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "brn"), "[ /_b][ /_r][ /_n]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, ","), "[ /_,]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "s , r"), "[ /_s][ /_,][ /_r]");
}

TEST_F(Translator, StressFromTheEndingWhenNoAccent) {
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "casa"), "[ k/A/ s/a]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "Tatu"), "[ t/a/ t/U]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "amor"), "[a/ m/O/r]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "comem"), "[ k/O/ m/e/ m]");
}

TEST_F(Translator, AccentMarkKeepsTheStressOfItsRule) {
  // The rule of e' writes the stressed vowel itself; nothing else is marked.
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, L1("café")), "[ k/a/ f/E]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, L1("maçã")), "[ m/a/ s/ s/a~]");
}

TEST_F(Translator, OneVowelWordsAreStressedOnlyWhenEndingInL) {
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "sol"), "[ s/O/l]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "mar"), "[ m/a/r]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "sal mar"), "[ s/A/l][ m/a/r]");
}

TEST_F(Translator, ExceptionsPeelFinalSAndM) {
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "zz"), "[ /_B/O/l/o]");  // no B rule: the default unit
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "zzs"), "[ /_B/O/l/o/ s]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "zzms"), "[ /_B/O/l/o/ m/ s]");
  // The replacement's accent decides the stress.
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "mau"), "[ m/a/ /_'/u]");
}

TEST_F(Translator, CharactersWithoutRulesBecomeDefaultUnits) {
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "1"), "[ /_1]");
  EXPECT_EQ(TranslateWords(*test::Context().voices.translator, "xa"), "[ /_X/a]");
}

TEST_F(Translator, ArbitraryBytesTranslateToBracketedWords) {
  std::mt19937 rng(11);
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    for (int n = rng() % 40; n > 0; --n) text += static_cast<char>(rng() % 256);
    const std::string out = TranslateWords(*test::Context().voices.translator, text);
    if (!out.empty()) {
      EXPECT_EQ(out.front(), '[');
      EXPECT_EQ(out.back(), ']');
    }
  }
}

TEST_F(Translator, MissingFilesFailToLoad) {
  EXPECT_FALSE(LoadTranslatorRules(*test::Context().voices.translator, Path("none.rgr")));
  EXPECT_FALSE(LoadTranslatorExceptions(*test::Context().voices.translator, Path("none.exc")));
}

}  // namespace
}  // namespace kal
