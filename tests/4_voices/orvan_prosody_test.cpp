// Prosody: the prosody file and its messages, the tokenizer, the intonation
// tagger and the timing and pitch of the phoneme stream.
#include <gtest/gtest.h>

#include <fstream>

#include "0_base/latin1.h"
#include "0_base/speech_log.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/prosody.h"
#include "tests/support/temp_folder.h"

namespace kal::orvan {
namespace {

const char* const kProsody =
    "; prosody for tests\n"
    "[DURAÇÃO]\n"
    "a = 100\n"
    "s = 50\n"
    "_, = 200\n"
    "* a remark\n"
    "[CHAVES]\n"
    "de = pr\n"
    "quem = QUEM\n"
    "[PROSÓDIA]\n"
    "hertz=200\n"
    "TABHERTZ=0,10,20,30,40,50,60,70,80,90\n"
    "|..| = 000\n"
    "XX|PR| = ?12\n"
    "||.. = 321\n"
    "--|| = 345\n";

class OrvanProsody : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProsodyMessageSink(tables_, [this](const std::string& m) { messages_.push_back(Latin1ToUtf8(m)); });
  }
  bool Load(const std::string& utf8) {
    std::ofstream(folder_ / "p.pro", std::ios::binary) << L1(utf8);
    return LoadProsody(tables_, folder_ / "p.pro", log_);
  }
  void Diphones(const std::string& text) {
    std::ofstream(folder_ / "p.dfn", std::ios::binary) << text;
    ASSERT_TRUE(LoadDiphoneList(tables_, folder_ / "p.dfn"));
  }
  std::string Time(const PhonemeList& list, double rate = 1.0, double pitch = 1.0) {
    std::string out;
    for (const std::string& l : TimePhonemes(tables_, list, rate, pitch)) out += l + "|";
    return out;
  }
  OrvanTables tables_;  // the case's own
  SpeechLog log_;       // where messages go without a sink
  test::TempFolder folder_;
  std::vector<std::string> messages_;
};

TEST_F(OrvanProsody, LoadsTheThreeSections) {
  ASSERT_TRUE(Load(kProsody));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(tables_.prosody.hertz, 200);
  EXPECT_EQ(tables_.prosody.tabhertz[9], 90);
  ASSERT_EQ(tables_.prosody.durations.size(), 3u);
  EXPECT_EQ(tables_.prosody.durations[2], (std::pair<std::string, int>("_,", 200)));
  ASSERT_EQ(tables_.prosody.keys.size(), 2u);
  EXPECT_EQ(tables_.prosody.keys[0].word, "DE");
  EXPECT_EQ(tables_.prosody.keys[1].code, "QU");
  ASSERT_EQ(tables_.prosody.rules.size(), 4u);
  EXPECT_EQ(tables_.prosody.rules[1].previous, "XX");
  EXPECT_EQ(tables_.prosody.rules[1].current, "PR");
  EXPECT_EQ(tables_.prosody.rules[1].next, "");
}

TEST_F(OrvanProsody, MessagesForBrokenFiles) {
  EXPECT_FALSE(LoadProsody(tables_, folder_ / "none.pro", log_));
  EXPECT_FALSE(Load("[CHAVES]\n[PROSÓDIA]\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\na 100\n[CHAVES]\n[PROSÓDIA]\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\n[PROSÓDIA]\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\n[CHAVES]\nde\n[PROSÓDIA]\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\n[CHAVES]\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|XX|\n"));
  EXPECT_EQ(messages_, (std::vector<std::string>{
                           "Configuração da prosódia não foi achada",
                           "Duração dos difones errada ou ausente",
                           "Configuração da prosódia: fonema errado: a 100",
                           "Prosódia: palavras chaves ausentes",
                           "Configuração da prosódia: chave errada: de",
                           "Prosódia: especificações ausentes",
                           "Configuração da prosódia: chave errada: |XX|",
                       }));
}

// Without a sink a message goes to standard error and to the log the
// loader was given, and to no other.
TEST_F(OrvanProsody, WithoutASinkMessagesGoToTheGivenLog) {
  OrvanTables tables;
  SpeechLog other;
  CaptureSpeechLog(log_, true);
  CaptureSpeechLog(other, true);
  EXPECT_FALSE(LoadProsody(tables, folder_ / "none.pro", log_));
  EXPECT_EQ(CapturedSpeech(log_), (std::vector<std::string>{"message Configuração da prosódia não foi achada"}));
  EXPECT_TRUE(CapturedSpeech(other).empty());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(OrvanProsody, BadNumbersAndPitchTables) {
  // A duration that is no number is reported and lasts 100 ms.
  EXPECT_TRUE(Load("[DURAÇÃO]\na = x\n[CHAVES]\n[PROSÓDIA]\n"));
  EXPECT_EQ(tables_.prosody.durations[0].second, 100);
  EXPECT_FALSE(Load("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\nTABHERTZ=1,2,3\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\nHERTZ=alto\n"));
  EXPECT_FALSE(Load("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|| = 12\n"));
  EXPECT_EQ(messages_.size(), 4u);
}

TEST_F(OrvanProsody, TokensCarryClassCodesAndBoundaries) {
  ASSERT_TRUE(Load(kProsody));
  std::vector<std::string> tokens = Tokenize(tables_, L1("Quem viu... de casa? sim"));
  EXPECT_EQ(tokens, (std::vector<std::string>{"[--]", "[QU]Quem", "[XX]viu", "[.-].", "[--]", "[PR]de",
                                              "[XX]casa", "[??]?", "[--]", "[XX]sim"}));
}

TEST_F(OrvanProsody, IntonationRulesByNeighbours) {
  ASSERT_TRUE(Load(kProsody));
  EXPECT_EQ(TagIntonation(tables_, Tokenize(tables_, L1("casa de pedra."))),
            (std::vector<std::string>{"555|", "345|casa", "512|de", "321|pedra", "000|.", "555|"}));
  // Without any rule every token gets 555; "?" first becomes 5.
  ASSERT_TRUE(Load("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|| = ?77\n"));
  EXPECT_EQ(TagIntonation(tables_, {"[XX]a"}), (std::vector<std::string>{"577|a"}));
  ASSERT_TRUE(Load("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n"));
  EXPECT_EQ(TagIntonation(tables_, {"[--]", "[XX]a", ""}), (std::vector<std::string>{"555|", "555|a"}));
}

TEST_F(OrvanProsody, DurationsWithRateStressAndWordLength) {
  ASSERT_TRUE(Load(kProsody));
  Diphones("_-a\na-s\ns-a\n_-_\na-b\na-a\n_-s\n");
  // Rate 0: factor 0.8; a stressed phoneme is 145 %.
  EXPECT_EQ(Time({";000|as", "a", ">s", ""}, 0.8), ";as|a 80|s 58||");
  EXPECT_EQ(Time({";000|as", "a", "b", ""}, 0.6), ";as|a 60|b 60||");
  // Long words are shorter before their stressed phoneme.
  EXPECT_EQ(Time({";000|abcdefghijklm", "a", ">a", "a", ""}), ";abcdefghijklm|a 80|a 145|a 145||");
  EXPECT_EQ(Time({";000|abcdefghi", "a", ">\xA8" "a", "\xA8" "a", ""}), ";abcdefghi|a 90|a 145|a 100||");
  EXPECT_EQ(Time({";000|abcdefgh", "a", ""}), ";abcdefgh|a 100||");
  // Pauses: "_" alone, "_ N", and the table's entry.
  EXPECT_EQ(Time({"_", "_ 30", "_,", "__"}), "_ 100 50 100|_ 30|_ 200|_ 100|");
}

// 100 ms x 100 % x 0.57 is 5699.999999999999 in binary floating point.
TEST_F(OrvanProsody, ARateThatLandsBelowAWholeNumberKeepsTheWholeDuration) {
  ASSERT_TRUE(Load(kProsody));
  Diphones("_-a\na-b\n");
  EXPECT_EQ(Time({";000|ab", "a", "b", ""}, 0.57), ";ab|a 57|b 57||");
}

TEST_F(OrvanProsody, PitchPointsFromThePattern) {
  ASSERT_TRUE(Load(kProsody));
  Diphones("_-a\na-s\ns-a\n_-_\na-b\na-a\n_-s\n");
  // Start at 50 % (digit 2), stressed vowel at 80 % (digit 4), end at 50 %
  // (digit 9); the frequency is TABHERTZ % of HERTZ times the pitch factor.
  EXPECT_EQ(Time({";249|asa", "a", ">s", "a", ""}), ";asa|a 100 50 40|s 72 80 80|a 145 50 180||");
  EXPECT_EQ(Time({";249|asa", "a", ">s", "a", ""}, 1.0, 1.5), ";asa|a 100 50 60|s 72 80 120|a 145 50 270||");
  // TABHERTZ 0 gives no point; unstressed words have only the first point.
  EXPECT_EQ(Time({";040|asa", "a", ">s", "a", ""}), ";asa|a 100|s 72 80 80|a 145||");
  EXPECT_EQ(Time({";555|sa", "s", "a", ""}), ";sa|s 50 50 100|a 100||");
  // Extreme rate and pitch settings still give lines MBROLA accepts.
  EXPECT_EQ(Time({";249|asa", "a", ">s", "a", ""}, -0.5, -1.0), ";asa|a 1|s 1|a 1||");
}

TEST_F(OrvanProsody, TransitionsWhereTheDatabaseLacksADiphone) {
  ASSERT_TRUE(Load(kProsody));
  Diphones("; list\n_-a\na-r2\nr2-_\n_-_\na  y\n");
  // The first phoneme pairs with "_"; r2 before a missing diphone gets a
  // pause, a phoneme that can go to "y" gets "y", anything else a pause.
  EXPECT_EQ(Time({";000|x", "a", "r2", "s", ""}), ";x|a 100|r2 100|_ 50|s 50||");
  EXPECT_EQ(Time({";000|x", "a", "s", ""}), ";x|a 100|y 50|s 50||");
  EXPECT_EQ(Time({";000|x", "s", ""}), ";x|_ 50|s 50||");
  EXPECT_TRUE(HasDiphone(tables_, "A", "Y"));
  EXPECT_FALSE(LoadDiphoneList(tables_, folder_ / "none.dfn"));
}

}  // namespace
}  // namespace kal::orvan
