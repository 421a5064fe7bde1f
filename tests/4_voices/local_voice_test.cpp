// The local voice (kind 4) with the real in-process synthesiser, playing
// into the capture audio device on the real event loop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "0_base/wave_format.h"
#include "4_voices/speech_engine_port.h"
#include "5_speech/speech_state.h"
#include "4_voices/engines/engine_switch.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/speech_fixture.h"
#include "tests/support/temp_folder.h"

namespace kal::test {

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Samples whose magnitude is above a whisper.
size_t LoudSamples(const std::string& pcm16) {
  size_t n = 0;
  for (size_t i = 0; i + 1 < pcm16.size(); i += 2) {
    int v = static_cast<int16_t>(static_cast<uint8_t>(pcm16[i]) | (static_cast<uint8_t>(pcm16[i + 1]) << 8));
    if (v > 1000 || v < -1000) ++n;
  }
  return n;
}

const char* kLongText =
    "O rato roeu a roupa do rei de Roma, e a rainha com raiva resolveu remendar. "
    "Depois disso todos foram para casa e dormiram ate tarde no domingo seguinte.";

class LocalVoiceTest : public SpeechFixture {
 protected:
  void SetUp() override {
    test::UseRealLoop();
    SpeechFixture::SetUp();
    SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
  }
  void TearDown() override {
    Engine(Context().speech).Release();
    SetSpeechEngine(Context().speech, nullptr);
    SpeechFixture::TearDown();
  }
  bool StartLocal(int voice = 1, int rate = 0, std::string_view file = "") {
    return Engine(Context().speech).Start(voice, rate, 0, file, kEngineLocal);
  }
  // Waits (at most 20 s) until the engine is quiet.
  void WaitQuiet(int flag = 0) {
    auto t = Clock::now();
    while (Engine(Context().speech).Busy(flag) && MsSince(t) < 20000) test::TestLoop().Wait(5);
  }
};

}  // namespace

TEST_F(LocalVoiceTest, SpeaksIntoTheWavePlayer) {
  ASSERT_TRUE(StartLocal());
  Engine(Context().speech).Speak("Bom dia.");
  EXPECT_TRUE(Engine(Context().speech).Busy(0));
  WaitQuiet();
  ASSERT_FALSE(audio_->pieces().empty());
  EXPECT_EQ(audio_->format(), (AudioFormat{22050, 16, 1}));
  std::string pcm = audio_->AllData();
  EXPECT_GT(pcm.size(), 22050u / 2);  // a quarter of a second at least
  EXPECT_GT(LoudSamples(pcm), 1000u);
}

TEST_F(LocalVoiceTest, PendingEndsBeforeTheSoundHasPlayed) {
  ASSERT_TRUE(StartLocal());
  Engine(Context().speech).Speak(kLongText);
  WaitQuiet(1);
  // The text is through the synthesiser; seconds of its sound still play.
  EXPECT_TRUE(Engine(Context().speech).Busy(0));
  EXPECT_FALSE(Engine(Context().speech).Busy(1));
  Engine(Context().speech).Stop();
  EXPECT_FALSE(Engine(Context().speech).Busy(0));
}

TEST_F(LocalVoiceTest, KeyStopsSpeechWithinFiftyMilliseconds) {
  ASSERT_TRUE(StartLocal());
  Context().speech.engine_active = true;
  Context().speech.engine_kind = kEngineLocal;
  SpeakText(Context().speech, kLongText);
  auto t = Clock::now();
  while (MsSince(t) < 300) test::TestLoop().Wait(10);
  ASSERT_TRUE(Engine(Context().speech).Busy(0));
  size_t before = audio_->pieces().size();
  int clears = audio_->clears();
  Type("x");
  auto key_at = Clock::now();
  WaitSpeech(Context().speech);
  double took = MsSince(key_at);
  EXPECT_LT(took, 50.0);
  RecordProperty("stop_ms", std::to_string(took));
  EXPECT_FALSE(Engine(Context().speech).Busy(0));
  EXPECT_GT(audio_->clears(), clears);
  // Nothing more reaches the player, and the key stays for the program.
  t = Clock::now();
  while (MsSince(t) < 200) test::TestLoop().Wait(10);
  EXPECT_LE(audio_->pieces().size(), before + 1);
  EXPECT_TRUE(KeyPressed(Context().platform));
  // The voice goes on working after a stop.
  ClearKeyQueue(Context().platform);
  size_t after = audio_->pieces().size();
  Engine(Context().speech).Speak("sim");
  WaitQuiet();
  EXPECT_GT(audio_->pieces().size(), after);
}

TEST_F(LocalVoiceTest, RateChangesTheLengthOfSpeechAndZeroKeepsTheDefault) {
  TempFolder tmp;
  auto length_at = [&](int rate) {
    std::string file = tmp / ("r" + std::to_string(rate) + ".wav");
    EXPECT_TRUE(StartLocal(1, rate, file));
    Engine(Context().speech).Speak(kLongText);
    WaitQuiet();
    Engine(Context().speech).Release();
    return ReadFileBytes(file).size();
  };
  size_t normal = length_at(0), slow = length_at(90), fast = length_at(360);
  EXPECT_GT(slow, fast * 2);
  // A start without a rate does not inherit the last one.
  EXPECT_NEAR(static_cast<double>(length_at(0)), static_cast<double>(normal), normal * 0.02);
  EXPECT_GT(normal, fast);
  EXPECT_LT(normal, slow);
}

TEST_F(LocalVoiceTest, VoiceNumbersOutsideTheListFailTheStart) {
  EXPECT_TRUE(StartLocal(0));
  Engine(Context().speech).Release();
  EXPECT_FALSE(StartLocal(500));
}

TEST_F(LocalVoiceTest, OutputFileGetsTheSpeechInsteadOfTheDevice) {
  TempFolder tmp;
  std::string file = tmp / "fala.wav";
  ASSERT_TRUE(StartLocal(1, 0, file));
  Engine(Context().speech).Speak("Bom dia.");
  Engine(Context().speech).Speak("7");
  WaitQuiet();
  Engine(Context().speech).Release();
  EXPECT_TRUE(audio_->pieces().empty());
  std::string image = ReadFileBytes(file);
  WaveInfo info;
  std::string_view data;
  ASSERT_TRUE(ParseWaveImage(image, &info, &data));
  EXPECT_EQ(info.rate, 22050);
  EXPECT_EQ(info.bits, 16);
  EXPECT_EQ(info.channels, 1);
  EXPECT_GT(LoudSamples(std::string(data)), 1000u);
}

}  // namespace kal::test
