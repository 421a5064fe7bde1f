#include "1_platform/platform.h"
#include "5_speech/speech.h"

#include "0_base/latin1.h"
#include "4_voices/diphone/diphone.h"
#include "4_voices/speech_engine_port.h"
#include "5_speech/speech_state.h"
#include "1_platform/fake/recording_programs.h"
#include "1_platform/programs.h"
#include "1_platform/power.h"
#include "tests/support/speech_fixture.h"
#include "4_voices/voices.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {

class Facade : public SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    InitSpeech(Context().speech, 0, "c:\\app");
    ClearCapturedSpeech(Context().speech_log);
  }
  // Speaks and returns the log of it.
  std::string Say(std::string_view text) {
    ClearCapturedSpeech(Context().speech_log);
    SpeakText(Context().speech, text);
    return Log();
  }
};

TEST_F(Facade, LeadingZerosAreSaidOneByOneThenTheNumber) {
  EXPECT_EQ(Say("007"),
            "say 007\n"
            "  play _zero\n"
            "  play _zero\n"
            "  words sete\n"
            "    snippet _sete\n");
}

TEST_F(Facade, NumbersUpToSixDigitsAreWordsLongerOnesAreSpelled) {
  EXPECT_EQ(Say("123456"),
            "say 123456\n"
            "  words cento e vinte e três mil e quatrocentos e cinqüenta e seis\n"
            "    snippet _cento\n    snippet _e\n    snippet _vinte\n    snippet _e\n    snippet _três\n"
            "    snippet _mil\n    snippet _e\n    snippet _quatroc\n    snippet _e\n"
            "    snippet _cinqüen\n    snippet _e\n    snippet _seis\n");
  EXPECT_EQ(Say("1234567"),
            "say 1234567\n  spell 1234567\n"
            "    char 49\n    char 50\n    char 51\n    char 52\n    char 53\n    char 54\n    char 55\n");
}

TEST_F(Facade, HyphenatedDigitsAreSpelledAndMinusIsSaid) {
  EXPECT_EQ(Say("12-34"), "say 12-34\n  spell 12-34\n    char 49\n    char 50\n    char 45\n    char 51\n    char 52\n");
  EXPECT_EQ(Say("-5"), "say -5\n  play _MENOS\n  words cinco\n    snippet _cinco\n");
}

TEST_F(Facade, DashBetweenWordsIsNamedWithTheCommaPause) {
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_EQ(Say("a - b"), "say a - b\n  phrase a \n    diphone a \n  char 45\n  phrase  b \n    diphone  b \n");
  EXPECT_EQ(test::TestLoop().NowMs() - t0, 150);
}

TEST_F(Facade, HyphenJoiningWordsIsDropped) {
  EXPECT_EQ(Say("guarda-chuva"), "say guarda-chuva\n  phrase guarda\n    diphone guarda\n  phrase chuva \n    diphone chuva \n");
}

TEST_F(Facade, WwwIsSpelledAndAFullStopWithoutSpaceHasNoPause) {
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_EQ(Say("www.x"),
            "say www.x\n  spell www\n    char 119\n    char 119\n    char 119\n"
            "  char 46\n  phrase x \n    diphone x \n");
  EXPECT_EQ(test::TestLoop().NowMs() - t0, 0);
  t0 = test::TestLoop().NowMs();
  Say("a. b");
  EXPECT_EQ(test::TestLoop().NowMs() - t0, 250);
}

TEST_F(Facade, ColonBeforeTwoSlashesIsSpelled) {
  int64_t t0 = test::TestLoop().NowMs();
  EXPECT_EQ(Say("http://"),
            "say http://\n  phrase http\n    diphone http\n  spell :\n    char 58\n  char 47\n  char 47\n");
  EXPECT_EQ(test::TestLoop().NowMs() - t0, 0);
}

TEST_F(Facade, RepeatedCharacterIsSaidFourTimesThenClicks) {
  EXPECT_EQ(Say("!!!!!!"), "say !!!!!!\n  char 33\n  char 33\n  char 33\n  char 33\n  click\n  click\n");
  // The click is 256 bytes of noise then silence.
  ASSERT_EQ(audio_->pieces().size(), 2u);
  const std::string& click = audio_->pieces()[0].data;
  ASSERT_EQ(click.size(), 256u);
  for (int i = 0; i <= 64; ++i) EXPECT_GE(static_cast<uint8_t>(click[i]), 128);
  EXPECT_EQ(click.substr(65), std::string(191, static_cast<char>(128)));
}

TEST_F(Facade, TabNamesItsPhoneticSoundAndLineEndsAreSilent) {
  EXPECT_EQ(Say("\t\r\n"), "say \t\\r\\n\n  play _FON9\n");
}

// A voice that types a key while it speaks its first phrase.
class KeyTypingVoice : public WordVoice {
 public:
  int Start() override { return 0; }
  void SetTuning(int, int, int) override {}
  std::string Translate(std::string_view w) override { return std::string(w); }
  void Speak(std::string_view n) override {
    LogSpeechDetail(Context().speech_log, "diphone", n);
    PushKeyBytes(test::Context().console, "k");
  }
  void Close() override {}
};

TEST_F(Facade, KeyStopsALongTextAndIsStillReturned) {
  SetWordVoice(Context().speech, std::make_unique<KeyTypingVoice>());
  EXPECT_EQ(Say("um, dois, tres, quatro"), "say um, dois, tres, quatro\n  phrase um\n    diphone um\n  stop\n");
  EXPECT_EQ(ReadKey(Context().platform), 'k');
}

// The diphone synthesizer over a one-piece voice: whatever the words, it
// speaks the piece "bA", 1000 samples of the value 10.
class OnePieceVoice : public WordVoice {
 public:
  int Start() override { return 0; }
  void SetTuning(int, int, int) override {}
  std::string Translate(std::string_view w) override { return std::string(w); }
  void Speak(std::string_view) override { DiphoneSpeak(test::Context().voices, "bA", 0); }
  void Close() override { DiphoneClose(test::Context().voices); }
};

// The synthesizer sits below the facade and plays through the player the
// facade installs; without it the word voice would be silent.
TEST_F(Facade, WordVoiceBuffersPlayThroughTheWavePlayer) {
  std::string index(15, '\0');
  index[0] = 3;
  index.replace(1, 3, "$BA");
  index[9] = static_cast<char>(1000 & 0xFF);
  index[10] = static_cast<char>(1000 >> 8);
  WriteFile("voice/difones/DIFONES2.IND", index);
  WriteFile("voice/difones/DIFONES2.DIF", std::string(1000, char(10)));
  WriteFile("voice/difones/regras.rgr", "(A)=a\n");
  WriteFile("voice/difones/portug.exc", "");
  std::filesystem::create_directories(dir_ / "voice/letras");
  ASSERT_EQ(DiphoneStartIn(test::Context().voices, (dir_ / "voice/letras").string(), (dir_ / "voice/difones").string()), kDiphoneReady);
  SetWordVoice(Context().speech, std::make_unique<OnePieceVoice>());
  Say("ba");
  std::string played = audio_->AllData();
  EXPECT_GT(std::count(played.begin(), played.end(), char(10)), 500) << played.size();
  Words(Context().speech).Close();
}

TEST_F(Facade, KeyWaitingBeforehandSilencesEverything) {
  Type("z");
  EXPECT_EQ(Say("abc"), "say abc\n  stop\n");
  EXPECT_TRUE(audio_->pieces().empty());
  EXPECT_EQ(ReadKey(Context().platform), 'z');
}

TEST_F(Facade, TypedKeysAreEchoedWithoutWaitingAndCutEachOther) {
  WriteWave(DriveC("ferlan/som/letras/_97.wav"), Ramp(5000));
  WriteWave(DriveC("ferlan/som/letras/_98.wav"), Ramp(5000, 3));
  SetWaveNoWait(Context().player, true);
  int64_t t0 = test::TestLoop().NowMs();
  Type("a");
  EXPECT_EQ(ReadKeySpoken(Context().speech), 'a');
  Type("b");
  EXPECT_EQ(ReadKeySpoken(Context().speech), 'b');
  EXPECT_LT(test::TestLoop().NowMs() - t0, 20);
  EXPECT_EQ(audio_->clears(), 1);  // the second key cut the first echo
  EXPECT_EQ(audio_->pieces().size(), 2u);
  EXPECT_TRUE(SpeechBusy(Context().speech));
  SetWaveNoWait(Context().player, false);
}

TEST_F(Facade, ErrorBeepThrowsAwayTypedAheadKeys) {
  Type("abc");
  ErrorBeep(Context().speech);
  EXPECT_FALSE(KeyPressed(Context().platform));
  ASSERT_EQ(audio_->pieces().size(), 1u);
  const std::string& beep = audio_->pieces()[0].data;
  ASSERT_EQ(beep.size(), 512u);
  EXPECT_EQ(beep.substr(0, 8), std::string("\x80\x70\x60\x50\x40\x50\x60\x70", 8));
  EXPECT_EQ(static_cast<uint8_t>(beep.back()), 128);
}

TEST_F(Facade, CharacterWavesComeFromTheLettersFolder) {
  std::string a = Ramp(500), unknown = Ramp(600, 7);
  WriteWave(DriveC("ferlan/som/letras/_65.wav"), a);
  WriteWave(DriveC("ferlan/som/letras/_unknown.wav"), unknown);
  SpeakChar(Context().speech, 'A');
  SpeakChar(Context().speech, 200);
  SpeakChar(Context().speech, 7);  // a control byte is silent
  ASSERT_EQ(audio_->pieces().size(), 2u);
  EXPECT_EQ(audio_->pieces()[0].data.size(), 500u);
  EXPECT_EQ(audio_->pieces()[1].data.size(), 600u);
  EXPECT_EQ(Log(), "char 65\nchar 200\nchar 7\n");
}

TEST_F(Facade, NamedSoundsComeFromTheSystemOrTheApplicationFolder) {
  WriteWave(DriveC("ferlan/som/letras/_DEL.wav"), Ramp(300));
  WriteWave(DriveC("app/ola.wav"), Ramp(400));
  EXPECT_TRUE(SoundExists(Context().speech, "_DEL"));
  EXPECT_TRUE(SoundExists(Context().speech, "ola"));
  EXPECT_FALSE(SoundExists(Context().speech, "_ola"));
  PlayNamedSound(Context().speech, "_DEL");
  PlayNamedSound(Context().speech, "ola");
  PlayNamedSound(Context().speech, "nada");
  ASSERT_EQ(audio_->pieces().size(), 2u);
  EXPECT_EQ(audio_->pieces()[1].data.size(), 400u);
}

TEST_F(Facade, TelephoneTonesAreDialedWithoutTheFastFlag) {
  for (const char* k : {"1", "X", "#"}) WriteWave(DriveC(std::string("ferlan/som/letras/dtmf_") + k + ".wav"), Ramp(1000));
  SetWaveFlags(Context().player, {.fast = true});
  int64_t t0 = test::TestLoop().NowMs();
  DialDigits(Context().speech, "1*#,a");
  ASSERT_EQ(audio_->pieces().size(), 3u);
  for (auto& p : audio_->pieces()) EXPECT_EQ(p.format.rate, 11025);
  EXPECT_TRUE(GetWaveFlags(Context().player).fast);
  // Three tones of about 91 ms, 100 ms after each, one second for the comma.
  EXPECT_GE(test::TestLoop().NowMs() - t0, 3 * 190 + 1000);
}

TEST_F(Facade, BatteryStatusIsSpokenFromThePowerState) {
  PowerStatus none;
  none.on_mains = 1;
  Context().platform.pinned_power = &none;
  SpeakBatteryStatus(Context().speech);
  PowerStatus low{true, 35, 0};
  Context().platform.pinned_power = &low;
  SpeakBatteryStatus(Context().speech);
  Context().platform.pinned_power = nullptr;
  EXPECT_EQ(Log(),
            "battery\n  play _SEMBAT\n"
            "battery\n  say 35%\n    words trinta e cinco\n"
            "      snippet _trinta\n      snippet _e\n      snippet _cinco\n"
            "    char 37\n  play _SEMENER\n");
}

TEST_F(Facade, LinksDocumentsAndProgramsAreOpened) {
  RecordingPrograms programs;
  {
    ScopedPrograms use(Context().platform, programs);
    OpenLink(Context().speech, "https://exemplo.org");
    OpenLink(Context().speech, "www.exemplo.org");
    OpenLink(Context().speech, "c:\\docs\\carta.txt");
    OpenLink(Context().speech, "c:\\jogos\\jogo.exe");
  }
  std::vector<std::string> launched;
  for (auto& s : programs.started()) {
    std::string line = s.request.program;
    for (auto& a : s.request.args) line += " " + a;
    launched.push_back(line);
    EXPECT_EQ(s.request.streams, ChildStreams::kDetached);
  }
  ASSERT_EQ(launched.size(), 4u);
  EXPECT_EQ(launched[0], "xdg-open https://exemplo.org");
  EXPECT_EQ(launched[1], "xdg-open www.exemplo.org");
  EXPECT_EQ(launched[2], "xdg-open " + (dir_ / "drives/c/docs/carta.txt").make_preferred().string());
  EXPECT_EQ(launched[3], "jogo");
}

TEST_F(Facade, UpperCaseTextRaisesAccentedLetters) {
  EXPECT_EQ(UpperCaseText(L1("ação ÿz")), L1("AÇÃO ßZ"));
}

// An engine that speaks for 200 ms of the clock.
class TimedEngine : public SpeechEngine {
 public:
  bool Start(int, int, int, std::string_view, int) override { return true; }
  void Speak(std::string_view t) override {
    spoken += std::string(t) + "|";
    until = test::TestLoop().NowMs() + 200;
  }
  bool Busy(int) override { return test::TestLoop().NowMs() < until; }
  void Stop() override { until = 0; }
  void Release() override {}
  std::string spoken;
  int64_t until = 0;
};

TEST_F(Facade, EngineSpeaksAndTheNextSoundWaitsForIt) {
  auto engine = std::make_unique<TimedEngine>();
  TimedEngine* e = engine.get();
  SetSpeechEngine(Context().speech, std::move(engine));
  // Without the configuration asking for it the engine is not started.
  EXPECT_FALSE(EngineActive(Context().speech));
  Context().speech.engine_active = true;
  int64_t t0 = test::TestLoop().NowMs();
  SpeakText(Context().speech, "bom dia");
  EXPECT_EQ(e->spoken, "bom dia|");
  EXPECT_EQ(test::TestLoop().NowMs(), t0);
  PlayNamedSound(Context().speech, "_x");
  EXPECT_GE(test::TestLoop().NowMs() - t0, 200);
  SetSpeechEngine(Context().speech, nullptr);
}

// Each facade works on the state it is given: a second one beside the
// case's has its own engine, settings and stop, and what is said through
// one reaches only its own voice.
TEST_F(Facade, TwoFacadesKeepTheirOwnVoicesAndSettings) {
  SpeechState other(Context().voices, Context().platform);
  auto engine = std::make_unique<TimedEngine>();
  TimedEngine* e = engine.get();
  SetSpeechEngine(other, std::move(engine));
  other.engine_active = true;
  SetSpeechEcho(Context().speech, false);
  EXPECT_FALSE(SpeechEchoOn(Context().speech));
  EXPECT_TRUE(SpeechEchoOn(other));

  ClearCapturedSpeech(Context().speech_log);
  SpeakText(other, "pelo motor");
  SpeakText(Context().speech, "casa");
  EXPECT_EQ(e->spoken, "pelo motor|");
  std::string log = Log();
  EXPECT_NE(log.find("phrase casa"), std::string::npos) << log;
  EXPECT_EQ(log.find("phrase pelo"), std::string::npos) << log;
  EXPECT_TRUE(SpeechBusy(other));
  EXPECT_FALSE(SpeechBusy(Context().speech));

  StopSpeech(other);
  EXPECT_FALSE(SpeechBusy(other));
  EXPECT_TRUE(other.stop);
  EXPECT_FALSE(Context().speech.stop);
}

}  // namespace kal::test
