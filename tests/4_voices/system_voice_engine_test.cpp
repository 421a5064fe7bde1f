// Kinds 5 and 54 over the system's own voice object, with a recording
// stand-in for the system: the choice of voice and rate, the failures that
// leave the facade without this engine, and speaking, stopping and
// releasing without ever blocking.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "1_platform/event_loop.h"
#include "1_platform/system_voice.h"
#include "4_voices/engines/voice_engine.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

struct VoiceLog {
  std::vector<std::string> calls;
  bool open_ok = true;
  int voices = 3;
  bool file_ok = true;
  int speaking_polls = 0;  // Speaking() answers true this many more times
};

class RecordingVoice : public SystemVoice {
 public:
  explicit RecordingVoice(VoiceLog* log) : log_(log) {}
  bool Open(std::string* err) override {
    log_->calls.push_back("open");
    if (!log_->open_ok) *err = "not registered";
    return log_->open_ok;
  }
  int VoiceCount() override { return log_->voices; }
  bool UseVoice(int index) override { return Note("voice " + std::to_string(index)); }
  bool SetRate(int rate) override { return Note("rate " + std::to_string(rate)); }
  bool SetOutputFile(const std::string& path) override { return Note("file " + path) && log_->file_ok; }
  bool Speak(std::string_view text) override { return Note("speak [" + std::string(text) + "]"); }
  bool Speaking() override { return log_->speaking_polls > 0 && log_->speaking_polls--; }
  bool Purge() override {
    log_->speaking_polls = 0;
    return Note("purge");
  }
  void Close() override { Note("close"); }

 private:
  bool Note(const std::string& call) {
    log_->calls.push_back(call);
    return true;
  }
  VoiceLog* log_;
};

class SystemVoiceEngineTest : public ::testing::Test {
 protected:
  SystemVoiceEngineTest() {
    engine_ = MakeSystemVoiceEngine([this] { return std::make_unique<RecordingVoice>(&log_); }, Context().platform);
  }
  // The calls of one start.
  std::vector<std::string> Started(int voice, int rate, const std::string& file = "") {
    log_.calls.clear();
    started_ = engine_->Start(voice, rate, 0, file);
    return log_.calls;
  }
  using Calls = std::vector<std::string>;

  VoiceLog log_;
  std::unique_ptr<VoiceEngine> engine_;
  bool started_ = false;
};

TEST_F(SystemVoiceEngineTest, VoiceNumberAndRate) {
  EXPECT_EQ(Started(2, -4), (Calls{"open", "voice 1", "rate -4"}));
  EXPECT_TRUE(started_);
  // Out of range: the first voice at its normal rate, whatever the rate said.
  for (int voice : {0, -1, 4})
    EXPECT_EQ(Started(voice, 7), (Calls{"close", "open", "voice 0", "rate 0"})) << voice;
  EXPECT_EQ(Started(3, -30), (Calls{"close", "open", "voice 2", "rate -10"}));
  EXPECT_EQ(Started(1, 0, "/tmp/a.wav"), (Calls{"close", "open", "voice 0", "rate 0", "file /tmp/a.wav"}));
}

TEST_F(SystemVoiceEngineTest, NoRuntimeNoVoicesOrNoFileFailTheStart) {
  log_.open_ok = false;
  Started(1, 0);
  EXPECT_FALSE(started_);
  log_.open_ok = true;
  log_.voices = 0;
  EXPECT_EQ(Started(1, 0), (Calls{"open", "close"}));
  EXPECT_FALSE(started_);
  log_.voices = 2;
  log_.file_ok = false;
  Started(1, 0, "/nao/existe.wav");
  EXPECT_FALSE(started_);
  // A failed start leaves nothing to speak with.
  log_.calls.clear();
  engine_->Speak("x");
  engine_->Stop();
  engine_->Release();
  EXPECT_FALSE(engine_->Busy(0));
  EXPECT_TRUE(log_.calls.empty());
}

TEST_F(SystemVoiceEngineTest, SpeakBusyStopAndRelease) {
  Started(1, 0);
  log_.calls.clear();
  engine_->Speak("");
  engine_->Speak("ol\xe1");
  EXPECT_EQ(log_.calls, (Calls{"speak [ ]", "speak [ol\xe1]"}));
  log_.speaking_polls = 3;
  EXPECT_TRUE(engine_->Busy(1));
  EXPECT_FALSE(engine_->Busy(1));
  log_.speaking_polls = 100;
  log_.calls.clear();
  engine_->Stop();
  EXPECT_EQ(log_.calls, (Calls{"purge"}));
  EXPECT_FALSE(engine_->Busy(0));
  // Release lets speech end first, then lets the voice go.
  log_.speaking_polls = 5;
  log_.calls.clear();
  engine_->Release();
  EXPECT_EQ(log_.speaking_polls, 0);
  EXPECT_EQ(log_.calls, (Calls{"close"}));
}

}  // namespace
}  // namespace kal::test
