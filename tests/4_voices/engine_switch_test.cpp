// The engine switch: which engine each kind reaches, the wait after a
// start, and the facade driving the switch from its configuration.
#include <gtest/gtest.h>

#include "2_config/config.h"
#include "4_voices/speech_engine_port.h"
#include "5_speech/speech_state.h"
#include "4_voices/engines/engine_switch.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/speech_fixture.h"

namespace kal::test {

namespace {

// Records every call; busy for a given number of polls after each start.
struct FakeLog {
  std::vector<std::string> calls;
};

class FakeEngine : public VoiceEngine {
 public:
  FakeEngine(std::string name, FakeLog* log) : name_(std::move(name)), log_(log) {}
  bool Start(int voice, int rate, int pitch, const std::string& file) override {
    log_->calls.push_back(name_ + " start " + std::to_string(voice) + " " + std::to_string(rate) + " " +
                          std::to_string(pitch) + " [" + file + "]");
    busy_left = busy_polls;
    return start_ok;
  }
  void Speak(std::string_view text) override { log_->calls.push_back(name_ + " speak " + std::string(text)); }
  bool Busy(int flag) override {
    log_->calls.push_back(name_ + " busy " + std::to_string(flag));
    if (busy_left < 0) return true;  // never settles
    if (busy_left == 0) return false;
    --busy_left;
    return true;
  }
  void Stop() override { log_->calls.push_back(name_ + " stop"); }
  void Release() override { log_->calls.push_back(name_ + " release"); }

  bool start_ok = true;
  int busy_polls = 0;
  int busy_left = 0;

 private:
  std::string name_;
  FakeLog* log_;
};

class Switch : public SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    auto engines = std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop());
    switch_ = engines.get();
    const char* names[] = {"orvan", "local", "server54", "server"};
    for (int i = 0; i < 4; ++i) {
      auto e = std::make_unique<FakeEngine>(names[i], &log_);
      fakes_[i] = e.get();
      switch_->SetEngine(static_cast<EngineSlot>(i), std::move(e));
    }
    SetSpeechEngine(Context().speech, std::move(engines));
  }
  void TearDown() override {
    SetSpeechEngine(Context().speech, nullptr);
    SpeechFixture::TearDown();
  }
  std::string Calls() {
    std::string s;
    for (auto& c : log_.calls) s += c + "\n";
    log_.calls.clear();
    return s;
  }
  FakeLog log_;
  FakeEngine* fakes_[4] = {};
  EngineSwitch* switch_ = nullptr;  // installed as the facade's engine
};

}  // namespace

TEST_F(Switch, EachKindReachesItsEngineWithTheArgumentsUnchanged) {
  EXPECT_EQ(switch_->Kind(), 5);
  struct {
    int kind;
    const char* engine;
  } cases[] = {{3, "orvan"}, {4, "local"}, {54, "server54"}, {5, "server"},
               {0, "server"}, {-1, "server"}, {53, "server"}, {55, "server"}, {40, "server"}};
  for (auto& c : cases) {
    ASSERT_TRUE(switch_->Start(2, -7, 40, "", c.kind));
    EXPECT_EQ(switch_->Kind(), c.kind);
    EXPECT_EQ(Calls(), std::string(c.engine) + " start 2 -7 40 []\n" + c.engine + " busy 1\n") << c.kind;
    switch_->Speak("ol\xE1");
    switch_->Busy(0);
    switch_->Stop();
    switch_->Release();
    std::string e = c.engine;
    EXPECT_EQ(Calls(), e + " speak ol\xE1\n" + e + " busy 0\n" + e + " stop\n" + e + " release\n");
  }
}

TEST_F(Switch, FailedStartKeepsTheKindAndDoesNotWait) {
  fakes_[1]->start_ok = false;
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_FALSE(switch_->Start(1, 0, 0, "", 4));
  EXPECT_EQ(switch_->Kind(), 4);
  EXPECT_EQ(Calls(), "local start 1 0 0 []\n");
  EXPECT_EQ(test::TestLoop().NowMs(), t0);
}

TEST_F(Switch, StartWaitsInFiftyMillisecondStepsUntilNothingIsPending) {
  fakes_[3]->busy_polls = 3;
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_TRUE(switch_->Start(1, 0, 0, "", 5));
  EXPECT_EQ(test::TestLoop().NowMs() - t0, 150);
  EXPECT_EQ(Calls(), "server start 1 0 0 []\nserver busy 1\nserver busy 1\nserver busy 1\nserver busy 1\n");
}

TEST_F(Switch, StartOfAnEngineThatNeverSettlesEndsAfterTenSeconds) {
  fakes_[0]->busy_polls = -1;
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_TRUE(switch_->Start(1, 0, 0, "", 3));
  EXPECT_EQ(test::TestLoop().NowMs() - t0, 10000);
}

TEST_F(Switch, OutputFileIsMappedLikeAScriptPath) {
  ASSERT_TRUE(switch_->Start(1, 0, 0, "c:\\voz\\saida.wav", 54));
  EXPECT_EQ(Calls(),
            "server54 start 1 0 0 [" + (dir_ / "drives/c/voz/saida.wav").make_preferred().string() + "]\nserver54 busy 1\n");
  // A host path outside the drives (beside them) is left as it is.
  std::string beside = (dir_ / "x.wav").string();
  ASSERT_TRUE(switch_->Start(1, 0, 0, beside, 54));
  EXPECT_EQ(Calls(), "server54 start 1 0 0 [" + beside + "]\nserver54 busy 1\n");
}

TEST_F(Switch, BusyTakesPostedWorkBeforeAskingTheEngine) {
  ASSERT_TRUE(switch_->Start(1, 0, 0, "", 4));
  Calls();
  test::TestLoop().Post([this] { log_.calls.push_back("posted"); });
  switch_->Busy(1);
  EXPECT_EQ(Calls(), "posted\nlocal busy 1\n");
}

TEST_F(Switch, FacadeStartsTheConfiguredEngine) {
  // No SAPI key: the recorded voice, no engine started.
  InitSpeech(Context().speech, 0, "");
  EXPECT_FALSE(EngineActive(Context().speech));
  EXPECT_EQ(Calls(), "");

  WriteConfig(Context().config, "TRADUTOR", "SAPI", "S");
  if (ReadConfig(Context().config, "TRADUTOR", "SAPI") != "S")
    GTEST_SKIP() << "the speech layer does not read Talven.ini in this build";
  WriteConfig(Context().config, "SERVFALA", "VOZ", "2");
  WriteConfig(Context().config, "SERVFALA", "VELOCIDADE", "150");
  WriteConfig(Context().config, "SERVFALA", "TOM", "60");
  WriteConfig(Context().config, "SERVFALA", "TIPOSAPI", "4");
  InitSpeech(Context().speech, 0, "");
  EXPECT_TRUE(EngineActive(Context().speech));
  // The local voice takes its speed in its own units, above 10 too.
  EXPECT_EQ(Calls(), "local start 2 150 60 []\nlocal busy 1\n");
  SpeakText(Context().speech, "bom dia");
  EXPECT_EQ(Calls(), "local busy 0\nlocal speak bom dia\n");
  DoneSpeech(Context().speech);
  EXPECT_NE(Calls().find("local release"), std::string::npos);

  // A server voice takes -10..10: a larger speed becomes 0.
  WriteConfig(Context().config, "SERVFALA", "TIPOSAPI", "54");
  InitSpeech(Context().speech, 0, "");
  EXPECT_EQ(Calls(), "server54 start 2 0 60 []\nserver54 busy 1\n");
  DoneSpeech(Context().speech);
  Calls();

  fakes_[3]->start_ok = false;
  WriteConfig(Context().config, "SERVFALA", "TIPOSAPI", "5");
  InitSpeech(Context().speech, 0, "");
  EXPECT_FALSE(EngineActive(Context().speech));
}

TEST(LocalVoiceText, TrimsAndMarksASingleDigit) {
  EXPECT_EQ(LocalVoiceText("7"), "7.");
  EXPECT_EQ(LocalVoiceText("  7\r\n"), "7.");
  EXPECT_EQ(LocalVoiceText("77"), "77");
  EXPECT_EQ(LocalVoiceText("a"), "a");
  EXPECT_EQ(LocalVoiceText(" \t "), "");
  EXPECT_EQ(LocalVoiceText(" bom  dia "), "bom  dia");
}

}  // namespace kal::test
