// Signal sounds, tones, wave files and multimedia strings, played into the
// capture audio device of the script harness.
#include <gtest/gtest.h>

#include "3_audio/wave_player.h"
#include "1_platform/audio.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

// Sounds stop at once when a key is waiting, so scripts that play run
// without keys; a failing one gets the Enter its error report waits for.
bool Fails(const std::string& script) { return RunScriptText(script, "\r").outcome == 1; }

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  for (auto& l : lines)
    if (l == line) return true;
  return false;
}

size_t CapturedBytes() {
  auto* capture = dynamic_cast<CaptureAudio*>(&Audio(Context().platform));
  return capture ? capture->AllData().size() : 0;
}

class SoundCommands : public ::testing::Test {
 protected:
  SoundCommands() {
    // One second of 8 kHz 8-bit mono.
    WriteFileBytes(box_.drives() + "/c/som/ok.wav", MakeWaveImage(std::string(8000, '\x80'), 8000, 1, 8));
  }
  TalvenSandbox box_;
};

TEST_F(SoundCommands, BeepsAndClicks) {
  auto r = RunScriptText("bipa\nbipa 0\nbipa 1\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(Joined(r.speech).find("beep\nbeep\nclick\n") != std::string::npos, true) << Joined(r.speech);
}

TEST_F(SoundCommands, AlarmPlaysASquareWaveOfThatLength) {
  auto r = RunScriptText("alarme 440 500\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_TRUE(Has(r.speech, "tone 440 500"));
  EXPECT_EQ(CapturedBytes(), 22050u);  // half a second, 16-bit mono at 22050 Hz
  EXPECT_TRUE(Fails("alarme 440 20001\n"));
  EXPECT_TRUE(Fails("alarme 440\n"));
  EXPECT_TRUE(Fails("alarme \"x\" 10\n"));
}

TEST_F(SoundCommands, MessagePlaysTheWaveWithItsExtensionAdded) {
  auto r = RunScriptText("mensagem \"c:\\som\\ok\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_TRUE(Has(r.speech, "wave C:\\SOM\\OK.WAV")) << Joined(r.speech);
  EXPECT_EQ(CapturedBytes(), 8000u);
}

TEST_F(SoundCommands, TocaWaitsForTheEndUnlessAmpersand) {
  RunScriptText("escreve\n");
  int64_t base = test::TestLoop().NowMs();
  auto r = RunScriptText("toca \"c:\\som\\ok.wav\"\n");
  int64_t waited = test::TestLoop().NowMs() - base;
  EXPECT_EQ(r.outcome, 0);
  EXPECT_GE(waited, 1000);
  EXPECT_EQ(CapturedBytes(), 8000u);
  base = test::TestLoop().NowMs();  // the runs of a case share its loop's clock
  r = RunScriptText("toca \"c:\\som\\ok.wav\" &\n");
  EXPECT_LT(test::TestLoop().NowMs() - base, 500);
  // A key ends the wait, and every waiting key is thrown away: the next
  // read finds the input ended.
  r = RunScriptText("toca \"c:\\som\\ok.wav\"\nescreve \"depois\"\nle $k &\n", "x");
  EXPECT_NE(r.console.find("depois\n"), std::string::npos) << r.console;
  EXPECT_EQ(r.exit_code, 2);
}

TEST_F(SoundCommands, MultimediaStrings) {
  auto r = RunScriptText(
      "mci $a \"open \"\"c:\\som\\ok.wav\"\" alias som\"\n"
      "mci $b \"status som mode\"\n"
      "mci $c \"play som\"\n"
      "mci $d \"status som mode\"\n"
      "mci $e \"stop som\"\n"
      "mci $f \"status som mode\"\n"
      "mci $g \"close som\"\n"
      "mci $h \"set cdaudio door open\"\n"
      "escreve $a \"|\" $b \"|\" $c \"|\" $d \"|\" $e \"|\" $f \"|\" $g \"|\" $h\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("|stopped||playing||stopped||\n"), std::string::npos) << r.console;
  EXPECT_TRUE(Fails("mci $a \"x\" y\n"));
}

}  // namespace
}  // namespace kal::test
