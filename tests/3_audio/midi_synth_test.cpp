// The synthesizer as the program plays it: MIDI INICIA opens it into the
// capture device as a mix, and what it renders between steps of the fake
// clock is measured: loudness, and the pitch by autocorrelation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "3_audio/midi.h"
#include "3_audio/wave_player.h"
#include "6_console/console.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "1_platform/audio.h"
#include "1_platform/fake/capture_audio.h"
#include "1_platform/pump.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

constexpr double kMiddleC = 261.63;

// Root mean square of the left channel over [from, to) seconds.
double Rms(const std::vector<float>& stereo, double from, double to) {
  size_t a = static_cast<size_t>(from * kMixRate), b = static_cast<size_t>(to * kMixRate);
  b = std::min(b, stereo.size() / 2);
  if (a >= b) return 0;
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += double(stereo[2 * i]) * stereo[2 * i];
  return std::sqrt(sum / double(b - a));
}

// The fundamental between 80 and 1000 Hz of 100 ms starting at `from`
// seconds: the first lag whose normalised autocorrelation comes within 10%
// of the best one (so that a period's multiples do not win).
double Pitch(const std::vector<float>& stereo, double from) {
  size_t start = static_cast<size_t>(from * kMixRate), n = kMixRate / 10;
  if ((start + n) * 2 + 2 * kMixRate / 80 > stereo.size()) return 0;
  auto x = [&](size_t i) { return double(stereo[2 * (start + i)]); };
  int min_lag = kMixRate / 1000, max_lag = kMixRate / 80;
  std::vector<double> r(static_cast<size_t>(max_lag + 1), 0.0);
  double best = 0;
  for (int lag = min_lag; lag <= max_lag; ++lag) {
    double s = 0, e0 = 0, e1 = 0;
    for (size_t i = 0; i < n; ++i) {
      s += x(i) * x(i + static_cast<size_t>(lag));
      e0 += x(i) * x(i);
      e1 += x(i + static_cast<size_t>(lag)) * x(i + static_cast<size_t>(lag));
    }
    r[static_cast<size_t>(lag)] = e0 > 0 && e1 > 0 ? s / std::sqrt(e0 * e1) : 0;
    best = std::max(best, r[static_cast<size_t>(lag)]);
  }
  for (int lag = min_lag + 1; lag < max_lag; ++lag) {
    double v = r[static_cast<size_t>(lag)];
    if (v >= 0.9 * best && v >= r[static_cast<size_t>(lag - 1)] && v >= r[static_cast<size_t>(lag + 1)])
      return double(kMixRate) / lag;
  }
  return 0;
}

class MidiSynth : public ::testing::Test {
 protected:
  void SetUp() override {
    if (MakeSynthMidiOutput(DefaultSoundFont())->Open(nullptr) != MidiOpenError::kNone)
      GTEST_SKIP() << "no synthesizer or no General MIDI sound font here";
    RunScriptText("escreve\n");
    UseMemoryConsole("", &console_);
    in_.context = &Context();  // the lines play on the case's player
    capture_ = dynamic_cast<CaptureAudio*>(&Audio(Context().platform));
    ASSERT_NE(capture_, nullptr);
  }
  void TearDown() override { StopMidi(Context().player); }

  bool Line(const std::string& text) { return ExecuteLine(in_, text, false); }
  // Lets ms of virtual time pass and returns what the synthesizer played.
  std::vector<float> Play(int ms) {
    Delay(Context().platform, ms);
    return capture_->TakeMix();
  }

  InterpreterState in_;
  TalvenSandbox box_;
  std::string console_;
  CaptureAudio* capture_ = nullptr;
};

TEST_F(MidiSynth, MiddleCSoundsAtItsPitchAndStopsWithItsNoteOff) {
  ASSERT_TRUE(Line("midi inicia")) << console_;
  EXPECT_TRUE(capture_->mixing());
  EXPECT_LT(Rms(Play(200), 0, 0.2), 1e-4);  // nothing before the first note

  ASSERT_TRUE(Line("midi nl 1 60 100"));
  std::vector<float> note = Play(600);
  EXPECT_GT(Rms(note, 0.05, 0.6), 0.01);
  double f = Pitch(note, 0.2);
  EXPECT_NEAR(f, kMiddleC, kMiddleC * 0.03) << f;

  ASSERT_TRUE(Line("midi nd 1 60"));
  std::vector<float> after = Play(1500);
  EXPECT_LT(Rms(after, 1.2, 1.5), 1e-4);

  // A wave played meanwhile goes to the queue; the mix stays attached.
  PlayWaveMemory(Context().player, std::string("RIFF", 4));
  EXPECT_TRUE(capture_->mixing());
  ASSERT_TRUE(Line("midi termina"));
  EXPECT_FALSE(capture_->mixing());
}

TEST_F(MidiSynth, PaneSilencesEveryChannel) {
  ASSERT_TRUE(Line("midi inicia"));
  for (const char* line : {"midi tt 2 40", "midi nl 1 60 100", "midi nl 2 64 110", "midi nl 3 67 90",
                           "midi nl 10 38 120"})
    ASSERT_TRUE(Line(line)) << line;
  EXPECT_EQ(console_, "");  // the program change was taken
  EXPECT_GT(Rms(Play(400), 0.1, 0.4), 0.01);
  ASSERT_TRUE(Line("midi pane"));
  EXPECT_LT(Rms(Play(2500), 2.2, 2.5), 1e-4);
}

}  // namespace
}  // namespace kal::test
