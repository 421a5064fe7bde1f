// The MIDI output as a part of the wave player's state: each player has its
// own, and an output ends with its player (or when a fresh state is moved
// over it), the audio device letting go of the synthesizer before it closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "1_platform/audio.h"
#include "1_platform/fake/capture_audio.h"
#include "3_audio/midi.h"
#include "3_audio/wave_player_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// Mixed into the device, as the synthesizer in process is; notes how it
// ended.
struct MixLog {
  int opens = 0;
  int closes = 0;
  bool mixed_at_close = false;
};

class MixingOutput : public MidiOutput, public AudioMixSource {
 public:
  MixingOutput(MixLog* log, CaptureAudio* device) : log_(log), device_(device) {}
  MidiOpenError Open(std::string*) override {
    ++log_->opens;
    return MidiOpenError::kNone;
  }
  void Close() override {
    ++log_->closes;
    log_->mixed_at_close = device_->mixing();
  }
  bool Send(const MidiBytes&) override { return true; }
  AudioMixSource* MixSource() override { return this; }
  void Render(float* out, int frames) override { std::fill(out, out + 2 * frames, 0.0f); }

 private:
  MixLog* log_;
  CaptureAudio* device_;
};

class MidiStateTest : public ::testing::Test {
 protected:
  // Gives the player the maker (the case's player unless another is named).
  void UseMixingOutput(WavePlayer& player = test::Context().player) {
    SetMidiOutputMaker(player, [this](const MidiChoice&) { return std::make_unique<MixingOutput>(&log_, device_); });
  }

  CaptureAudio* device_ = InstallCaptureAudio(test::Context().platform);
  MixLog log_;
};

TEST_F(MidiStateTest, AnOutputEndsWithItsPlayerAfterTheDeviceLetsItGo) {
  {
    WavePlayer player(test::Context().platform, test::Context().config, test::Context().speech_log);
    UseMixingOutput(player);
    ASSERT_EQ(StartMidi(player), MidiStartError::kNone);
    EXPECT_TRUE(device_->mixing());
    EXPECT_EQ(StartMidi(player), MidiStartError::kAlreadyOpen);
  }
  EXPECT_EQ(log_.opens, 1);
  EXPECT_EQ(log_.closes, 1);
  EXPECT_FALSE(log_.mixed_at_close);
  EXPECT_FALSE(device_->mixing());
}

TEST_F(MidiStateTest, EachPlayerHasItsOwnOutputAndMaker) {
  UseMixingOutput();
  ASSERT_EQ(StartMidi(test::Context().player), MidiStartError::kNone);
  {
    WavePlayer other(test::Context().platform, test::Context().config, test::Context().speech_log);
    EXPECT_FALSE(MidiIsOpen(other));
    EXPECT_FALSE(other.midi.maker);
  }
  EXPECT_TRUE(MidiIsOpen(test::Context().player));  // the outer player's output is untouched
  EXPECT_EQ(log_.closes, 0);
  StopMidi(test::Context().player);
  StopMidi(test::Context().player);  // once
  EXPECT_EQ(log_.closes, 1);
  EXPECT_FALSE(log_.mixed_at_close);
}

TEST_F(MidiStateTest, AFreshStateMovedOverAnOpenOutputEndsItAndAMovedOneKeepsIt) {
  UseMixingOutput();
  ASSERT_EQ(StartMidi(test::Context().player), MidiStartError::kNone);
  MidiState kept = std::move(test::Context().player.midi);
  EXPECT_FALSE(MidiIsOpen(test::Context().player));
  EXPECT_TRUE(kept.out != nullptr);
  EXPECT_TRUE(device_->mixing());  // moving is no ending
  RunContext& run = test::Context();
  run.player = WavePlayer(run.platform, run.config, run.speech_log);
  test::Context().player.midi = std::move(kept);
  EXPECT_TRUE(MidiIsOpen(test::Context().player));
  EXPECT_EQ(log_.closes, 0);
  test::Context().player.midi = MidiState();
  EXPECT_EQ(log_.closes, 1);
  EXPECT_FALSE(log_.mixed_at_close);
  EXPECT_FALSE(MidiIsOpen(test::Context().player));
}

}  // namespace
}  // namespace kal
