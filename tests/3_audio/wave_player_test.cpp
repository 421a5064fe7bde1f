#include "3_audio/wave_player_state.h"
#include "3_audio/wave_player.h"

#include "3_audio/speech_cut.h"
#include "tests/support/speech_fixture.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {

class WavePlayer : public SpeechFixture {};

TEST_F(WavePlayer, ShortEightBitSoundIsOneBufferEndingInSilence) {
  std::string pcm = Ramp(300);
  EXPECT_EQ(PlayWaveFile(Context().player, WriteWave("a.wav", pcm)), 0);
  ASSERT_EQ(audio_->pieces().size(), 1u);
  const std::string& got = audio_->pieces()[0].data;
  ASSERT_EQ(got.size(), 300u);
  EXPECT_EQ(got.substr(0, 299), pcm.substr(0, 299));
  EXPECT_EQ(static_cast<uint8_t>(got[299]), 128);
  EXPECT_EQ(audio_->pieces()[0].format, (AudioFormat{11025, 8, 1}));
  EXPECT_FALSE(WaveBusy(Context().player));
}

TEST_F(WavePlayer, TinySoundIsPaddedWithSilenceTo256Bytes) {
  PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(100)));
  ASSERT_EQ(audio_->pieces().size(), 1u);
  const std::string& got = audio_->pieces()[0].data;
  ASSERT_EQ(got.size(), 256u);
  EXPECT_EQ(got.substr(0, 100), Ramp(100));
  EXPECT_EQ(got.substr(100), std::string(156, static_cast<char>(128)));
}

TEST_F(WavePlayer, SixteenBitPaddingIsZero) {
  PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(100), 11025, 1, 16));
  ASSERT_EQ(audio_->pieces().size(), 1u);
  EXPECT_EQ(audio_->pieces()[0].data.substr(100), std::string(156, '\0'));
}

TEST_F(WavePlayer, RemainderJustAboveOnePieceIsSplitAt7936) {
  std::string pcm = Ramp(8192 + 100);
  PlayWaveFile(Context().player, WriteWave("a.wav", pcm));
  ASSERT_EQ(audio_->pieces().size(), 2u);
  EXPECT_EQ(audio_->pieces()[0].data.size(), 7936u);
  EXPECT_EQ(audio_->pieces()[1].data.size(), 356u);
  // Full pieces keep their last byte; short ones end in silence.
  std::string whole = Ramp(8192 * 3);
  audio_ = InstallCaptureAudio(Context().platform);
  kal::WavePlayer fresh(Context().platform, Context().config, Context().speech_log);  // for the new device
  PlayWaveFile(fresh, WriteWave("b.wav", whole));
  ASSERT_EQ(audio_->pieces().size(), 3u);
  EXPECT_EQ(audio_->AllData(), whole);
}

TEST_F(WavePlayer, FastFlagPlaysAtOneAndAHalfTimesTheRate) {
  SetWaveFlags(Context().player, {.fast = true});
  PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(2000)));
  ASSERT_EQ(audio_->pieces().size(), 1u);
  EXPECT_EQ(audio_->pieces()[0].format.rate, 16538);
}

TEST_F(WavePlayer, BrokenFilesReturnMinusOneAndPlayNothing) {
  std::string good = MakeWaveImage(Ramp(400), 11025, 1, 8);
  std::string list_first = good;
  list_first.replace(12, 4, "LIST");
  std::string no_data = good.substr(0, 36);
  std::string odd_format = MakeWaveImage(Ramp(400), 11025, 1, 12);
  EXPECT_EQ(PlayWaveFile(Context().player, WriteFile("a.wav", list_first)), -1);
  EXPECT_EQ(PlayWaveFile(Context().player, WriteFile("b.wav", no_data)), -1);
  EXPECT_EQ(PlayWaveFile(Context().player, WriteFile("c.wav", odd_format)), -1);
  EXPECT_EQ(PlayWaveFile(Context().player, WriteFile("d.wav", "RIFF")), -1);
  EXPECT_EQ(PlayWaveFile(Context().player, (dir_ / "missing.wav").string()), -1);
  EXPECT_EQ(PlayWaveMemory(Context().player, list_first), -1);
  EXPECT_EQ(PlayWaveMemory(Context().player, "RIFF1234WAVEfmt "), -1);
  EXPECT_TRUE(audio_->pieces().empty());
  // Lower-case "riff" is accepted, and chunks before "data" are skipped.
  std::string lower = good;
  lower.replace(0, 4, "riff");
  std::string extra = lower.substr(0, 36) + "fact" + std::string("\4\0\0\0abcd", 8) + lower.substr(36);
  EXPECT_EQ(PlayWaveFile(Context().player, WriteFile("e.wav", extra)), 0);
  ASSERT_EQ(audio_->pieces().size(), 1u);
  EXPECT_EQ(audio_->pieces()[0].data.size(), 400u);
}

TEST_F(WavePlayer, KeyStopsPlaybackAtOnceAndStaysInTheQueue) {
  std::string pcm = Ramp(8192 * 20);
  audio_->OnQueue([this](size_t n) {
    if (n == 3) Type("x");
  });
  int64_t start = test::TestLoop().NowMs();
  EXPECT_EQ(PlayWaveFile(Context().player, WriteWave("long.wav", pcm)), 0);
  EXPECT_EQ(audio_->pieces().size(), 4u);
  EXPECT_GE(audio_->clears(), 1);
  EXPECT_FALSE(WaveBusy(Context().player));
  EXPECT_EQ(WaveInFlight(Context().player), 0);
  EXPECT_LT(test::TestLoop().NowMs() - start, 100);
  EXPECT_EQ(ReadKey(Context().platform), 'x');
}

TEST_F(WavePlayer, AtMostSixteenPiecesInFlightAndWaitsForTheEnd) {
  std::string pcm = Ramp(8192 * 40);
  int most = 0;
  audio_->OnQueue([&](size_t) { most = std::max(most, WaveInFlight(Context().player)); });
  int64_t start = test::TestLoop().NowMs();
  PlayWaveFile(Context().player, WriteWave("long.wav", pcm));
  EXPECT_EQ(audio_->pieces().size(), 40u);
  EXPECT_EQ(most, 15);  // the sixteenth goes out once one has played
  // 40 pieces of 8192 bytes at 11025 bytes a second, plus the device buffer.
  int64_t took = test::TestLoop().NowMs() - start;
  EXPECT_GE(took, 8192 * 40 * 1000 / 11025);
  EXPECT_LE(took, 8192 * 40 * 1000 / 11025 + 100);
}

TEST_F(WavePlayer, NoWaitReturnsWhileTheSoundPlays) {
  PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(11025)), true);
  EXPECT_TRUE(WaveBusy(Context().player));
  WaitWave(Context().player);
  EXPECT_FALSE(WaveBusy(Context().player));
}

TEST_F(WavePlayer, FormatChangeReopensTheDevice) {
  PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(400)));
  PlayWaveFile(Context().player, WriteWave("b.wav", Ramp(400)));
  EXPECT_EQ(audio_->opens(), 1);
  PlayWaveFile(Context().player, WriteWave("c.wav", Ramp(800), 22050, 1, 16));
  EXPECT_EQ(audio_->opens(), 2);
  EXPECT_EQ(audio_->format(), (AudioFormat{22050, 16, 1}));
}

TEST_F(WavePlayer, SpeechCuttingPrefersTheFastRecording) {
  std::string slow = Ramp(4000);
  std::string fast = Ramp(1500, 50);
  std::string path = WriteWave("voz/a.wav", slow);
  WriteWave("voz/rapido/a.wav", fast);
  SetWaveFlags(Context().player, {.cut = true});
  PlayWaveFile(Context().player, path);
  ASSERT_EQ(audio_->pieces().size(), 1u);
  EXPECT_EQ(audio_->pieces()[0].data.substr(0, 1499), fast.substr(0, 1499));
  EXPECT_TRUE(GetWaveFlags(Context().player).cut);
}

TEST_F(WavePlayer, SpeechCuttingTurnsSixteenBitsIntoEightAndShortens) {
  // A 100-sample period at 11025 Hz, 16-bit: each sample's high byte.
  std::string pcm;
  for (int i = 0; i < 5000; ++i) {
    int v = (i % 100) < 50 ? 60 : -60;
    if (i % 100 == 25) v = 100;
    pcm.push_back(0);
    pcm.push_back(static_cast<char>(v));
  }
  SetWaveFlags(Context().player, {.cut = true});
  PlayWaveFile(Context().player, WriteWave("a.wav", pcm, 11025, 1, 16));
  ASSERT_FALSE(audio_->pieces().empty());
  EXPECT_EQ(audio_->format(), (AudioFormat{11025, 8, 1}));
  size_t total = audio_->AllData().size();
  EXPECT_LT(total, 5000u * 3 / 4);
  EXPECT_GT(total, 5000u / 3);
}

TEST(SpeechCut, KeepsEverySecondPeriod) {
  std::string s(10000, static_cast<char>(128));
  for (size_t i = 0; i < s.size(); ++i)
    if (i % 100 == 0) s[i] = static_cast<char>(250);
  auto* d = reinterpret_cast<uint8_t*>(s.data());
  size_t n = CutSpeechPiece(d, s.size(), 11025);
  // About half the periods survive, each still starting on a peak.
  EXPECT_GT(n, 4000u);
  EXPECT_LT(n, 6000u);
  for (size_t i = 200; i + 100 < n; i += 100) EXPECT_EQ(d[i], 250) << i;
  std::string short_piece(999, 'a');
  EXPECT_EQ(CutSpeechPiece(reinterpret_cast<uint8_t*>(short_piece.data()), 999, 11025), 999u);
  std::string sixteen = std::string("\x00\x10\xff\xff\x00\x80", 6);
  EXPECT_EQ(ReduceTo8Bit(reinterpret_cast<uint8_t*>(sixteen.data()), 6), 3u);
  EXPECT_EQ(sixteen.substr(0, 3), std::string("\x90\x7f\x00", 3));
}

TEST_F(WavePlayer, NoDeviceSaysSoOnceAndCarriesOnSilently) {
  audio_->FailOpens("no sound card");
  EXPECT_NE(PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(400))), 0);
  EXPECT_NE(PlayWaveFile(Context().player, WriteWave("b.wav", Ramp(400), 22050)), 0);
  EXPECT_FALSE(WaveBusy(Context().player));
  // In the user's language only: the library's English reason stays out.
  EXPECT_EQ(console_, "Sem som: nenhum dispositivo de áudio pôde ser aberto.\n");
  Delay(Context().platform, 1);  // the notice is spoken from the pump
  int spoken = 0;
  for (const std::string& line : CapturedSpeech(Context().speech_log))
    spoken += line.find("say Sem som: ") != std::string::npos;
  EXPECT_EQ(spoken, 1);
}

TEST_F(WavePlayer, NoDeviceNoticeStartsOnALineOfItsOwn) {
  audio_->FailOpens("no sound card");
  ConsoleWrite(test::Context().console, "Digite:");
  EXPECT_NE(PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(400))), 0);
  EXPECT_EQ(console_, "Digite:\nSem som: nenhum dispositivo de áudio pôde ser aberto.\n");
}

TEST_F(WavePlayer, DeviceErrorIsShownInEnglishAndWaitsForEnter) {
  audio_->FailNextQueue(kAudioInvalidHandle);
  audio_->OnQueue([this](size_t) { Type("ab\r"); });
  std::string pcm = Ramp(400);
  PlayPcm(Context().player, reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size(), 11025, 1, 8);
  EXPECT_EQ(console_, "Specified device handle is invalid.\n");
  EXPECT_FALSE(KeyPressed(Context().platform));  // the keys up to Enter were taken
}

TEST_F(WavePlayer, ADeviceThatStopsTakingSoundDoesNotHangTheWait) {
  audio_->Stall(true);
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_EQ(PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(8192 * 4))), 0);
  EXPECT_LT(test::TestLoop().NowMs() - t0, 3000);
  EXPECT_FALSE(WaveBusy(Context().player));
  EXPECT_EQ(audio_->clears(), 1);
}

TEST_F(WavePlayer, MemoryImageIsQueuedWithoutWaiting) {
  std::string image = MakeWaveImage(Ramp(11025), 11025, 1, 8);
  EXPECT_EQ(PlayWaveMemory(Context().player, image), 0);
  EXPECT_TRUE(WaveBusy(Context().player));
  WaveStop(Context().player);
  EXPECT_FALSE(WaveBusy(Context().player));
  EXPECT_EQ(audio_->pieces().size(), 2u);
}

TEST_F(WavePlayer, NamedDeviceIsFoundIgnoringCase) {
  audio_->set_devices({"Built-in Audio ", "USB Headset"});
  EXPECT_EQ(ListWaveDevices(Context().player)[0], "Built-in Audio");
  EXPECT_EQ(FindWaveDevice(Context().player, "usb headset"), 1);
  EXPECT_EQ(FindWaveDevice(Context().player, "HDMI"), -1);
  SetWaveDevice(Context().player, 1);
  PlayWaveFile(Context().player, WriteWave("a.wav", Ramp(400)));
  EXPECT_EQ(audio_->device(), 1);
}

}  // namespace kal::test
