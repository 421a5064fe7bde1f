// The voice database as the set-up builds it: built with the real MBROLA,
// it serves ordinary sentences from whole pieces, and the joins between
// pieces make no jump that the recordings themselves do not have.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "0_base/latin1.h"
#include "4_voices/diphone/diphone.h"
#include "4_voices/diphone/translator.h"
#include "4_voices/voices.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int LargestStep(std::string_view s) {
  int step = 0;
  for (size_t i = 1; i < s.size(); ++i)
    step = std::max(step, std::abs(static_cast<unsigned char>(s[i]) - static_cast<unsigned char>(s[i - 1])));
  return step;
}

class BuiltVoice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const fs::path tool = fs::path(KALDORIN_BINARY_DIR) / "build_diphones";
    if (!fs::exists(tool) || !fs::exists("/usr/share/mbrola/br3/br3")) return;
    dir_ = fs::temp_directory_path() / ("kal_built_voice_" + std::to_string(std::random_device()()));
    fs::remove_all(dir_);
    const std::string cmd = "'" + tool.string() + "' '" + dir_.string() + "' >/dev/null";
    if (std::system(cmd.c_str()) != 0) return;
    for (const char* f : {"regras.rgr", "portug.exc"})
      fs::copy_file(fs::path(KALDORIN_SOURCE_DIR) / "data/diphone" / f, dir_ / f);
    built_ = true;
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }
  void SetUp() override {
    if (!built_) GTEST_SKIP() << "build_diphones or the MBROLA voice is not available";
    ASSERT_EQ(DiphoneStartIn(test::Context().voices, dir_.string(), dir_.string()), kDiphoneReady);
    SetDiphoneSink(test::Context().voices, [this](std::string_view image) { sound_.append(image.substr(44)); });
    ResetDiphoneCounts(test::Context().voices);
  }
  void TearDown() override {
    SetDiphoneSink(test::Context().voices, nullptr);
    DiphoneClose(test::Context().voices);
  }
  static inline fs::path dir_;
  static inline bool built_ = false;
  std::string sound_;
};

TEST_F(BuiltVoice, PiecesStartAndEndOnTheMiddleLine) {
  const std::string index = ReadAll(dir_ / "DIFONES2.IND");
  const std::string data = ReadAll(dir_ / "DIFONES2.DIF");
  ASSERT_EQ(index.size() % 15, 0u);
  ASSERT_GT(index.size() / 15, 400u);
  std::string previous;
  for (size_t r = 0; r < index.size(); r += 15) {
    const auto* rec = reinterpret_cast<const unsigned char*>(index.data() + r);
    std::string name(index.data() + r + 1, rec[0]);
    EXPECT_LT(previous, name);  // sorted, no name twice
    previous = name;
    size_t length = rec[9] | (rec[10] << 8);
    size_t offset = rec[11] | (rec[12] << 8) | (rec[13] << 16) | (static_cast<size_t>(rec[14]) << 24);
    ASSERT_LE(offset + length, data.size()) << name;
    ASSERT_GT(length, 400u) << name;  // longer than the default cut
    EXPECT_NEAR(static_cast<unsigned char>(data[offset]), 128, 2) << name;
    EXPECT_NEAR(static_cast<unsigned char>(data[offset + length - 1]), 128, 2) << name;
  }
}

TEST_F(BuiltVoice, SentencesAreSpokenFromWholePiecesWithoutClicks) {
  const char* text[] = {"bom dia a todos", "hoje o tempo está bom para passear na praça",
                        "a estação de rádio toca músicas antigas", "quando você chegar em casa me telefone",
                        "o pão e o leite estão na mesa da cozinha"};
  for (const char* run : text) DiphoneSpeak(test::Context().voices, TranslateWords(*test::Context().voices.translator, L1(run)), 0);
  const DiphonePieceCounts c = DiphoneCounts(test::Context().voices);
  EXPECT_GT(c.whole, 50);
  EXPECT_EQ(c.decomposed + c.noise + c.skipped, 0);
  EXPECT_GT(sound_.size(), 11025u * 5);
  EXPECT_LE(LargestStep(sound_), LargestStep(ReadAll(dir_ / "DIFONES2.DIF")));
}

}  // namespace
}  // namespace kal
