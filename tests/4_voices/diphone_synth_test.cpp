#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "3_audio/wave_player.h"
#include "2_config/config.h"
#include "4_voices/diphone/diphone.h"
#include "4_voices/diphone/diphone_state.h"
#include "4_voices/word_voice.h"
#include "4_voices/voices.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/temp_folder.h"

namespace kal {
namespace {

namespace fs = std::filesystem;

// A tiny voice: every piece is a run of one byte value, so the captured
// sound tells which pieces were played and how long each was.
class Synth : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kal_diphone_" + std::to_string(std::random_device()()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "difones");
    fs::create_directories(dir_ / "letras");
    pieces_ = {{"$BA", {1000, 10}}, {"$MACIRC", {500, 20}}, {"$NN", {600, 30}},
               {"$RA", {300, 40}},  {"$T", {100, 50}},      {"$AW", {400, 60}},
               {"$MA", {1000, 70}}, {"$R", {100, 80}}};
    WriteVoice();
    Write("difones/regras.rgr", "(A)=a\n");
    Write("difones/portug.exc", "");
    Write("letras/_44.wav", MakeWaveImage(std::string(700, char(90)), 11025, 1, 8));
    ASSERT_EQ(Start(), kDiphoneReady);
    SetDiphoneSink(test::Context().voices, [this](std::string_view image) { images_.emplace_back(image); });
    DiphoneSetTuning(test::Context().voices, 400, 0, 100);
    ResetDiphoneCounts(test::Context().voices);
  }
  void TearDown() override {
    SetDiphoneSink(test::Context().voices, nullptr);
    DiphoneClose(test::Context().voices);
    fs::remove_all(dir_);
  }
  int Start() { return DiphoneStartIn(test::Context().voices, (dir_ / "letras").string(), (dir_ / "difones").string()); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  void WriteVoice() {
    std::string index, data;
    for (const auto& [name, piece] : pieces_) {  // std::map keeps them sorted
      std::string rec(15, '\0');
      rec[0] = static_cast<char>(name.size());
      rec.replace(1, name.size(), name);
      rec[9] = static_cast<char>(piece.first & 0xFF);
      rec[10] = static_cast<char>(piece.first >> 8);
      for (int i = 0; i < 4; ++i) rec[11 + i] = static_cast<char>((data.size() >> (8 * i)) & 0xFF);
      index += rec;
      data += std::string(piece.first, static_cast<char>(piece.second));
    }
    Write("difones/DIFONES2.IND", index);
    Write("difones/DIFONES2.DIF", data);
  }
  // All samples played, in order.
  std::string Played() {
    std::string all;
    for (const auto& image : images_) all += image.substr(44);
    return all;
  }
  // How many played samples have the value.
  static size_t Count(const std::string& s, char value) { return std::count(s.begin(), s.end(), value); }

  fs::path dir_;
  std::map<std::string, std::pair<int, int>> pieces_;
  std::vector<std::string> images_;
};

// A sink set by a test or tool takes the buffers; an empty one hands them
// back to the player the facade installed; with neither they are dropped.
TEST_F(Synth, BuffersGoToTheSinkElseToThePlayer) {
  std::vector<std::string> played;
  SetDiphonePlayer(test::Context().voices, [&played](std::string_view image) { played.emplace_back(image); });
  DiphoneSpeak(test::Context().voices, "bA", 0);
  EXPECT_EQ(images_.size(), 1u);
  EXPECT_TRUE(played.empty());
  SetDiphoneSink(test::Context().voices, nullptr);
  DiphoneSpeak(test::Context().voices, "bA", 0);
  ASSERT_EQ(played.size(), 1u);
  EXPECT_EQ(played[0].substr(44), std::string(1000, char(10)));
  SetDiphonePlayer(test::Context().voices, nullptr);
  DiphoneSpeak(test::Context().voices, "bA", 0);
  EXPECT_EQ(played.size(), 1u);
  EXPECT_EQ(images_.size(), 1u);
}

TEST_F(Synth, CutAppliesToUnstressedPiecesDownToTheMinimum) {
  DiphoneSpeak(test::Context().voices, "ba", 0);
  EXPECT_EQ(Played().size(), 600u);
  images_.clear();
  DiphoneSpeak(test::Context().voices, "bA", 0);
  EXPECT_EQ(Played(), std::string(1000, char(10)));
  images_.clear();
  DiphoneSetTuning(test::Context().voices, 400, 800, 100);
  DiphoneSpeak(test::Context().voices, "ba", 0);
  EXPECT_EQ(Played().size(), 800u);
  images_.clear();
  DiphoneSetTuning(test::Context().voices, 400, 5000, 100);  // never longer than the recording
  DiphoneSpeak(test::Context().voices, "ba", 0);
  EXPECT_EQ(Played().size(), 1000u);
}

TEST_F(Synth, CommaInOrdinarySpeechIsAPauseElseTheLetter) {
  DiphoneSpeak(test::Context().voices, "[ /_,]", 0);
  // 4000 bytes of silence and the word gap after "]".
  EXPECT_EQ(Played(), std::string(4100, char(128)));
  images_.clear();
  DiphoneSpeak(test::Context().voices, "[ /_,]", 1);
  EXPECT_EQ(Played(), std::string(700, char(90)) + std::string(100, char(128)));
}

TEST_F(Synth, LastShortBufferIsPlayed) {
  DiphoneSetTuning(test::Context().voices, 0, 0, 0);
  DiphoneSpeak(test::Context().voices, "t", 0);
  ASSERT_EQ(images_.size(), 1u);
  EXPECT_EQ(images_[0].size(), 44u + 100u);
  EXPECT_EQ(images_[0].substr(0, 4), "RIFF");
  EXPECT_EQ(images_[0].substr(36, 4), "data");
  EXPECT_EQ(static_cast<unsigned char>(images_[0][24]) | (static_cast<unsigned char>(images_[0][25]) << 8), 11025);
  images_.clear();
  DiphoneSpeak(test::Context().voices, "", 0);
  EXPECT_TRUE(images_.empty());
}

TEST_F(Synth, FullBuffersArePlayedOnTheWay) {
  std::string notation;
  for (int i = 0; i < 100; ++i) notation += "[bA]";
  DiphoneSpeak(test::Context().voices, notation, 0);
  ASSERT_GT(images_.size(), 1u);
  for (const auto& image : images_) EXPECT_LT(image.size(), 64000u);
  EXPECT_EQ(Count(Played(), 10), 100000u);
  EXPECT_EQ(Count(Played(), char(128)), 10000u);
}

TEST_F(Synth, WordsSplitIntoSyllables) {
  DiphoneSetTuning(test::Context().voices, 0, 0, 0);
  // A leading cluster gives its first consonant alone; a final consonant
  // is a word of its own.
  DiphoneSpeak(test::Context().voices, "tra mar", 0);
  EXPECT_EQ(Count(Played(), 50), 100u);
  EXPECT_EQ(Count(Played(), 40), 300u);
  EXPECT_EQ(Count(Played(), 70), 1000u);
  EXPECT_EQ(Count(Played(), 80), 100u);
  images_.clear();
  // A final glide: the rest at 0.6, then vowel and glide.
  DiphoneSpeak(test::Context().voices, "maw", 0);
  EXPECT_EQ(Played().size(), 600u + 400u);
}

TEST_F(Synth, MissingNasalPieceFallsBackToClosedVowelAndTail) {
  DiphoneSpeak(test::Context().voices, "ma~", 0);
  // "$MATIL" is missing: "$MACIRC" uncut at 0.9, then the cut "$NN" at 0.9.
  std::string played = Played();
  EXPECT_EQ(played.size(), 450u + 180u);
  EXPECT_EQ(played.substr(0, 400), std::string(400, char(20)));
  DiphonePieceCounts c = DiphoneCounts(test::Context().voices);
  EXPECT_EQ(c.decomposed, 1);
  EXPECT_EQ(c.whole, 0);
}

TEST_F(Synth, TinyMissingPiecesAreNoiseAndOthersSkipped) {
  DiphoneSpeak(test::Context().voices, "z", 0);  // "$Z"
  std::string played = Played();
  ASSERT_EQ(played.size(), 300u);
  for (char b : played) {
    EXPECT_GE(static_cast<unsigned char>(b), 88);
    EXPECT_LE(static_cast<unsigned char>(b), 167);
  }
  images_.clear();
  DiphoneSpeak(test::Context().voices, "bbb", 0);  // "$B" noise, then "$BB"... split further
  DiphoneSpeak(test::Context().voices, "qrt", 0);
  DiphonePieceCounts c = DiphoneCounts(test::Context().voices);
  EXPECT_EQ(c.whole, 0);
  EXPECT_GT(c.noise, 0);
}

TEST_F(Synth, ArbitraryNotationIsSpokenWithoutFault) {
  std::mt19937 rng(7);
  const std::string alphabet = "[]/ _|^~abcdeiouwyAEIOUnrsx',.;:\x01\xff";
  for (int i = 0; i < 2000; ++i) {
    std::string notation;
    for (int n = rng() % 60; n > 0; --n) notation += alphabet[rng() % alphabet.size()];
    DiphoneSpeak(test::Context().voices, notation, static_cast<int>(rng() % 2));
  }
  for (const auto& image : images_) EXPECT_LE(image.size(), 64000u);
}

TEST_F(Synth, StartReportsMissingFiles) {
  DiphoneClose(test::Context().voices);
  fs::rename(dir_ / "difones/portug.exc", dir_ / "difones/x.exc");
  EXPECT_EQ(Start(), kDiphoneTranslatorMissing);
  fs::rename(dir_ / "difones/x.exc", dir_ / "difones/portug.exc");
  fs::remove(dir_ / "difones/regras.rgr");
  EXPECT_EQ(Start(), kDiphoneTranslatorMissing);
  fs::remove(dir_ / "difones/DIFONES2.DIF");
  EXPECT_EQ(Start(), kDiphoneFilesMissing);
  WriteVoice();
  fs::remove(dir_ / "difones/DIFONES2.IND");
  EXPECT_EQ(Start(), kDiphoneFilesMissing);
  WriteVoice();
  fs::remove_all(dir_ / "letras");
  EXPECT_EQ(Start(), kDiphoneFilesMissing);
  EXPECT_EQ(DiphoneStartIn(test::Context().voices, (dir_ / "letras").string(), (dir_ / "none").string()), kDiphoneFilesMissing);
  // Speaking after a failed start is silent.
  DiphoneSpeak(test::Context().voices, "bA", 0);
  EXPECT_TRUE(images_.empty());
}

// The word voice only checks its files when it starts, so that a run that
// never speaks does not read them, and reads them at its first word. A file
// missing at the start is reported then as before; one taken away between
// the start and the first word leaves the voice silent.
TEST_F(Synth, TheWordVoiceReadsItsFilesAtItsFirstWord) {
  Voices& voices = test::Context().voices;
  DiphoneClose(voices);
  // The settings name the voice's folders as a script does, on drive C.
  test::TalvenSandbox box;
  const fs::path voz = fs::path(box.drives()) / "c" / "voz";
  fs::create_directories(voz);
  for (const fs::directory_entry& e : fs::directory_iterator(dir_))
    fs::copy(e.path(), voz / e.path().filename(), fs::copy_options::recursive);
  WriteConfig(test::Context().config, cfg::kDirLetrasDirect, "C:\\voz\\letras");
  WriteConfig(test::Context().config, cfg::kDirDifones, "C:\\voz\\difones");
  std::unique_ptr<WordVoice> voice = MakeDiphoneWordVoice(voices);
  ASSERT_EQ(voice->Start(), kDiphoneReady);
  EXPECT_FALSE(voices.synth->started);
  EXPECT_TRUE(voices.synth->index.empty());
  EXPECT_FALSE(voice->Translate("a").empty());
  EXPECT_TRUE(voices.synth->started);
  voice->Speak("bA");
  EXPECT_EQ(Played(), std::string(1000, char(10)));

  fs::rename(voz / "difones/portug.exc", voz / "difones/x.exc");
  EXPECT_EQ(voice->Start(), kDiphoneTranslatorMissing);
  EXPECT_EQ(fs::path(voice->MissingData()).lexically_normal(), (voz / "difones/portug.exc").lexically_normal());
  fs::rename(voz / "difones/x.exc", voz / "difones/portug.exc");

  images_.clear();
  ASSERT_EQ(voice->Start(), kDiphoneReady);
  fs::remove(voz / "difones/DIFONES2.DIF");
  EXPECT_EQ(voice->Translate("a"), "");
  voice->Speak("bA");
  EXPECT_TRUE(images_.empty());
  voice->Close();
}

}  // namespace
}  // namespace kal
