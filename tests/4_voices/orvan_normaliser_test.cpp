// The Orvan normaliser: numbers, ordinals, dashes, abbreviations, spelled
// consonant words and symbol names, on Latin-1 text.
#include <gtest/gtest.h>

#include <fstream>

#include "0_base/latin1.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/text_normaliser.h"
#include "tests/support/temp_folder.h"

namespace kal::orvan {
namespace {

// Normalised text as UTF-8 with runs of blanks squeezed, for readable checks;
// abbreviations from tables (none unless given).
std::string Norm(const std::string& utf8, const OrvanTables& tables = OrvanTables()) {
  std::string out, in = Latin1ToUtf8(NormaliseText(tables, L1(utf8)));
  for (char c : in) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string Cardinal(int64_t v) { return Latin1ToUtf8(Trim(CardinalWords(v))); }

TEST(OrvanNumbers, CardinalsJoinGroupsTheWayTheyAreSaid) {
  EXPECT_EQ(Cardinal(0), "zero");
  EXPECT_EQ(Cardinal(100), "cem");
  EXPECT_EQ(Cardinal(101), "cento e um");
  EXPECT_EQ(Cardinal(115), "cento e quinze");
  EXPECT_EQ(Cardinal(1000), "mil");
  EXPECT_EQ(Cardinal(1001), "mil e um");
  EXPECT_EQ(Cardinal(1230), "mil e duzentos e trinta");
  EXPECT_EQ(Cardinal(2000000), "dois milhões");
  EXPECT_EQ(Cardinal(1000000), "um milhão");
  EXPECT_EQ(Cardinal(21000), "vinte e um mil");
  EXPECT_EQ(Cardinal(55), "cinqüenta e cinco");
  EXPECT_EQ(Cardinal(999999999999999LL),
            "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões novecentos e noventa e "
            "nove milhões novecentos e noventa e nove mil e novecentos e noventa e nove");
}

TEST(OrvanNumbers, OrdinalsByGenderAndTheCardinalFrom2000) {
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(123, Gender::kMasculine)), "centésimo vigésimo terceiro");
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(1, Gender::kFeminine)), "primeira");
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(1000, Gender::kFeminine)), "milésima");
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(10, Gender::kMasculine)), "décimo");
  EXPECT_EQ(Latin1ToUtf8(Trim(OrdinalWords(2500, Gender::kMasculine))), "dois mil e quinhentos");
}

TEST(OrvanNormaliser, NumbersInText) {
  EXPECT_EQ(Norm("007"), "zero zero sete");
  EXPECT_EQ(Norm("1.500 reais"), "mil e quinhentos reais");
  EXPECT_EQ(Norm("1.5000"), "um ponto cinco mil");
  EXPECT_EQ(Norm("3,14"), "três vírgula quatorze");
  EXPECT_EQ(Norm("1.5"), "um ponto cinco");
  EXPECT_EQ(Norm("-5 graus"), "menos cinco graus");
  EXPECT_EQ(Norm("5-3"), "cinco traço três");
  EXPECT_EQ(Norm("3321-4050"), "três três dois um traço quatro zero cinco zero");
  // Digits that would pass the largest number start a new one.
  EXPECT_EQ(Norm("1234567890123456"),
            Cardinal(123456789012345) + " seis");
}

TEST(OrvanNormaliser, OrdinalSuffixes) {
  EXPECT_EQ(Norm("1º"), "primeiro");
  EXPECT_EQ(Norm("1o. lugar"), "primeiro lugar");
  EXPECT_EQ(Norm("1ª vez"), "primeira vez");
  EXPECT_EQ(Norm("2os. colocados"), "segundos colocados");
  EXPECT_EQ(Norm("3as. feiras"), "terceiras feiras");
  EXPECT_EQ(Norm("2500º"), "dois mil e quinhentos");
  // Leading zeros are not spoken before an ordinal.
  EXPECT_EQ(Norm("01º"), "primeiro");
}

TEST(OrvanNormaliser, DashesPunctuationAndControlCharacters) {
  EXPECT_EQ(Norm("sim - não"), "sim , não");
  EXPECT_EQ(Norm("a - b"), "a , bê");
  EXPECT_EQ(Norm("guarda-chuva"), "guarda-chuva");
  EXPECT_EQ(Norm("sim!\tnão?\r\n"), "sim!não?");
  EXPECT_EQ(Norm("Espere... já"), "Espere... já");
  EXPECT_EQ(Norm("site.com"), "site ponto com");
  EXPECT_EQ(Norm("fim."), "fim.");
  EXPECT_EQ(Norm("© 2024"), "copyright dois mil e vinte e quatro");
  EXPECT_EQ(Norm("50%"), "cinqüenta porcento");
}

TEST(OrvanNormaliser, LoneCharactersAreNamed) {
  EXPECT_EQ(Norm("?"), "interrogação");
  EXPECT_EQ(Norm("%"), "porcento");
  EXPECT_EQ(Norm("b"), "bê");
  EXPECT_EQ(Norm("c"), "sê");
  EXPECT_EQ(Norm("7"), "séte");
  EXPECT_EQ(Latin1ToUtf8(SymbolName(0xE9)), "É agudo");
  EXPECT_EQ(Latin1ToUtf8(SymbolName(0xE7)), "Cê cedilha");
  EXPECT_EQ(SymbolName(0x7F), "");
  EXPECT_EQ(SymbolName(0xFD), "");  // beyond the capitals' table
}

TEST(OrvanNormaliser, ConsonantWordsAreSpelled) {
  EXPECT_EQ(Norm("FGTS"), "éfe jê tê ésse");
  EXPECT_EQ(Norm("SP"), "ésse pê");
  EXPECT_EQ(Norm("Brasil"), "Brasil");
  EXPECT_EQ(Norm("ÇÑ"), "Cê cedilha N com til");
}

class OrvanAbbreviations : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder_ / "a.abr", std::ios::binary)
        << L1("; comment\n\n  sr = senhor \nSR = other\nAV=avenida\nPÇA = praça\nsem igual\n");
    ASSERT_TRUE(LoadAbbreviations(tables_, folder_ / "a.abr"));
  }
  std::string Norm(const std::string& utf8) { return orvan::Norm(utf8, tables_); }
  OrvanTables tables_;  // the case's own
  test::TempFolder folder_;
};

TEST_F(OrvanAbbreviations, ExpandedOnlyBeforeFullStopAndBlank) {
  EXPECT_EQ(Norm("Sr. Silva"), "senhor Silva");
  EXPECT_EQ(Norm("Av. Paulista"), "avenida Paulista");
  EXPECT_EQ(Norm("pça. central"), "praça central");
  EXPECT_EQ(Norm("o Sr."), "o Sr.");
  EXPECT_EQ(Norm("Sr.Silva"), "Sr ponto Silva");
  EXPECT_EQ(Norm("Sr Silva"), "ésse érre Silva");
}

TEST_F(OrvanAbbreviations, FileOrderAndLookup) {
  EXPECT_EQ(LookupAbbreviation(tables_, "sr"), "senhor");
  EXPECT_EQ(LookupAbbreviation(tables_, "SEM IGUAL"), "");
  EXPECT_EQ(LookupAbbreviation(tables_, "xyz"), "");
  EXPECT_FALSE(LoadAbbreviations(tables_, folder_ / "missing.abr"));
  EXPECT_EQ(LookupAbbreviation(tables_, "sr"), "");
}

}  // namespace
}  // namespace kal::orvan
