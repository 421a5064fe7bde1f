// Letter-to-sound: rule contexts, the stress mark, the stress finder, the
// exceptions table and the utterance's phoneme list with its liaison.
#include <gtest/gtest.h>

#include <fstream>

#include "0_base/latin1.h"
#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/phoneme_list.h"
#include "tests/support/temp_folder.h"

namespace kal::orvan {
namespace {

class OrvanRules : public ::testing::Test {
 protected:
  void Rules(const std::string& utf8) {
    std::ofstream(folder_ / "r.nrl", std::ios::binary) << L1(utf8);
    ASSERT_TRUE(LoadRules(tables_, folder_ / "r.nrl"));
  }
  void Exceptions(const std::string& utf8) {
    std::ofstream(folder_ / "r.exc", std::ios::binary) << L1(utf8);
    ASSERT_TRUE(LoadExceptions(tables_, folder_ / "r.exc"));
  }
  // The phoneme lines of a word, joined by blanks ("" for empty lines).
  std::string Word(const std::string& utf8, int stress = 0) {
    PhonemeList list;
    WordToPhonemes(tables_, L1(utf8), stress, &list);
    std::string out;
    for (const std::string& l : list) out += (out.empty() ? "" : " ") + Latin1ToUtf8(l);
    return out;
  }
  // The phoneme list of tagged entries, lines joined by "|".
  std::string List(const std::vector<std::string>& utf8_entries) {
    std::vector<std::string> entries;
    for (const auto& e : utf8_entries) entries.push_back(L1(e));
    std::string out;
    for (const std::string& l : BuildPhonemeList(tables_, entries)) out += Latin1ToUtf8(l) + "|";
    return out;
  }
  OrvanTables tables_;  // the case's own
  test::TempFolder folder_;
};

TEST_F(OrvanRules, LeftContexts) {
  Rules("#(S)=z\n%(S)=s1\n](C)=k\n_(E)=v\n|(T)=t1\n(T)=t\n(S)=s\n(C)=c\n(E)=e\nAB(X)=ks\n(X)=x\n"
        "(A)=a\n(O)=o\n(I)=i\n(N)=n\n");
  EXPECT_EQ(Word("SESS"), "s1 e z s ");  // S at start, after a vowel, after a consonant
  EXPECT_EQ(Word("OCIC"), "o k i c ");   // C after a back vowel only
  EXPECT_EQ(Word("E"), "v ");            // "_" matches the word start
  EXPECT_EQ(Word("AE"), "a v ");         // ... or a vowel
  EXPECT_EQ(Word("NTXT"), "n t1 x t ");  // "|" is N, R or S
  EXPECT_EQ(Word("ABX"), "a ks ");       // literals; B has no rule and is skipped
}

TEST_F(OrvanRules, RightContexts) {
  Rules("(A)%=end\n(A)&=voi\n(A)[=open\n(A)*=cons\n(A)+=front\n(B)\\X=bx\n(A)#=vow\n(A)=a\n(B)=b\n(X)=x\n"
        "(L)=l\n(E)=e\n(H)=h\n(O)=o\n(R)=r\n");
  EXPECT_EQ(Word("A"), "end ");
  EXPECT_EQ(Word("AL"), "voi l ");
  EXPECT_EQ(Word("AB"), "open b ");  // "[" does not consume the consonant
  EXPECT_EQ(Word("AH"), "cons h ");  // "[" refuses H, "*" takes it
  EXPECT_EQ(Word("AE"), "front e ");
  EXPECT_EQ(Word("AO"), "vow o ");
  EXPECT_EQ(Word("BSX"), "bx x ");    // optional S
  EXPECT_EQ(Word("BX"), "bx x ");
}

// Tables belong to whoever holds them: loading into one leaves another as
// it was, and releasing one empties only that one.
TEST_F(OrvanRules, RulesAndExceptionsStayInTheirOwnTables) {
  Rules("(C)=k\n(A)=a\n");
  Exceptions("casa=kaza\n");
  OrvanTables other;
  PhonemeList list;
  WordToPhonemes(other, "CA", 0, &list);
  EXPECT_EQ(list, PhonemeList{""});
  EXPECT_EQ(ApplyException(other, "CASA"), "CASA");
  ReleaseRules(other);
  ClearExceptions(other);
  EXPECT_EQ(Word("CA"), "k a ");
  EXPECT_EQ(ApplyException(tables_, "CASA"), "KAZA");
}

TEST_F(OrvanRules, FirstMatchWinsAndUnknownLettersAreSkipped) {
  Rules("; comment\n(CH)=x|a comment\n(C)=k\n(ABCDEF)=long\n(A)=a&b&c&d&e&f&g\n");
  EXPECT_EQ(Word("CHA"), "x a b c d e f ");  // output cut at 11 characters
  EXPECT_EQ(Word("CZ"), "k ");                // no rule for Z
  EXPECT_EQ(Word("ABC"), "a b c d e f k ");   // a focus must lie inside the word
  EXPECT_FALSE(LoadRules(tables_, folder_ / "none.nrl"));
}

TEST_F(OrvanRules, StressMarkGoesOnTheFirstOutputFromTheStressedLetter) {
  Rules("(H)=\n(C)=k\n(A)=a\n(S)=s\n(QU)=k&w\n");
  EXPECT_EQ(Word("CASA", 2), "k >a s a ");
  EXPECT_EQ(Word("CASA", 0), "k a s a ");
  // A silent letter passes the mark to the next output.
  EXPECT_EQ(Word("HA", 1), ">a ");
  EXPECT_EQ(Word("QUA", 2), "k w >a ");
  EXPECT_EQ(Word("QUA", 1), ">k w a ");
}

TEST_F(OrvanRules, StressPositions) {
  auto at = [](const std::string& utf8) { return StressPosition(L1(utf8)); };
  EXPECT_EQ(at("CASA"), 2);
  EXPECT_EQ(at("CASAS"), 2);
  EXPECT_EQ(at("FALAM"), 2);
  EXPECT_EQ(at("HOMEM"), 2);
  EXPECT_EQ(at("JARDIM"), 5);
  EXPECT_EQ(at("BOM"), 2);
  EXPECT_EQ(at("AQUI"), 4);
  EXPECT_EQ(at("TATU"), 4);
  EXPECT_EQ(at("PAPEL"), 4);
  EXPECT_EQ(at("LÂMPADA"), 2);
  EXPECT_EQ(at("CAFÉ"), 4);
  EXPECT_EQ(at("ÓRGÃO"), 4);  // the rightmost accent decides
  EXPECT_EQ(at("QUERO"), 3);
  EXPECT_EQ(at("MUITO"), 2);
  EXPECT_EQ(at("QUIS"), 3);
  EXPECT_EQ(at("AZUIS"), 3);
  EXPECT_EQ(at("MAU"), 2);
  EXPECT_EQ(at("LINGUA"), 2);
  EXPECT_EQ(at("AGUA"), 1);
  EXPECT_EQ(at("ÁGUA"), 1);
  EXPECT_EQ(at("PSST"), 0);
  EXPECT_EQ(at(""), 0);
}

TEST_F(OrvanRules, UnstressedWords) {
  EXPECT_TRUE(IsUnstressedWord("DE"));
  EXPECT_TRUE(IsUnstressedWord("POR"));
  EXPECT_TRUE(IsUnstressedWord(L1("NÃO")));
  EXPECT_FALSE(IsUnstressedWord("PARA"));
}

TEST_F(OrvanRules, ExceptionsPeelPluralAndNasalEndings) {
  Exceptions("rainha=raÍnha\nhomen=HÔMEN|plural stem\nORGAO\n\nzeta=z\n");
  EXPECT_EQ(Latin1ToUtf8(ApplyException(tables_, "RAINHA")), "RAÍNHA");
  EXPECT_EQ(Latin1ToUtf8(ApplyException(tables_, "RAINHAS")), "RAÍNHAS");
  EXPECT_EQ(Latin1ToUtf8(ApplyException(tables_, "HOMENS")), "HÔMENS");
  EXPECT_EQ(ApplyException(tables_, "ZETASMS"), "ZSMS");
  EXPECT_EQ(ApplyException(tables_, "ORGAO"), "");
  EXPECT_EQ(ApplyException(tables_, "CASAS"), "CASAS");
  EXPECT_EQ(ApplyException(tables_, "SSS"), "SSS");
  EXPECT_FALSE(LoadExceptions(tables_, folder_ / "none.exc"));
}

TEST_F(OrvanRules, PhoneListHeadersPausesAndStress) {
  Rules("(A)=a\n(M)=m\n(R)[=r2\n(R)=r\n(S)[=s2\n(S)=s\n(P)=p\n(O)=o\n(N)=n\n(Ã)=am\n");
  EXPECT_EQ(List({"555|", "576|mar", "000|,", "555|a", "555|por", "555|não", "000|."}),
            ";555||__||;576|mar|m|>a|r2||;000|,|_,|;555|a|a||;555|por|p|o|r2||;555|não|n|am|o||;000|.|_.|__|");
  EXPECT_EQ(List({"555| "}), ";555| |__|");
}

TEST_F(OrvanRules, LiaisonOfFinalRAndS) {
  Rules("(A)=¨a\n(M)=¨m\n(R)[=¨r2\n(S)[=s2\n(O)=o\n(U)=u\n(T)=t\n(E)=e\n(I)=i\n");
  std::string linked = List({"555|mar", "555|azul", "555|mas", "555|o", "555|mas", "555|te"});
  EXPECT_NE(linked.find("|¨r||;555|azul"), std::string::npos) << linked;
  EXPECT_NE(linked.find("|z||;555|o|"), std::string::npos) << linked;
  EXPECT_NE(linked.find("|s2||;555|te|"), std::string::npos) << linked;
  // A stressed first vowel still links.
  std::string stressed = List({"555|mas", "555|ema"});
  EXPECT_NE(stressed.find("|z||;555|ema|>e"), std::string::npos) << stressed;
}

}  // namespace
}  // namespace kal::orvan
