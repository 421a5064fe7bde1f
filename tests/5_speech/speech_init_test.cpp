// Starting the speech layer from the configuration file.
#include "2_config/config_state.h"
#include "5_speech/speech.h"

#include "4_voices/speech_engine_port.h"
#include "6_console/field_editor.h"
#include "5_speech/speech_state.h"
#include "1_platform/file_lock.h"
#include "1_platform/mbrola.h"
#include "4_voices/orvan/orvan_engine.h"
#include "0_base/latin1.h"
#include "1_platform/paths.h"
#include "2_config/config.h"
#include "1_platform/stop_request.h"
#include "tests/support/speech_fixture.h"
#include "tests/support/memory_console.h"
#include "6_console/console_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {

class SpeechInit : public SpeechFixture {
 protected:
  void Ini(const std::string& text) { WriteFile("config/Talven/Talven.ini", text); }
  std::string IniNow() {
    std::ifstream in(dir_ / "config/Talven/Talven.ini");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

// A voice that records how it was set up and can refuse to start.
class RecordingVoice : public WordVoice {
 public:
  explicit RecordingVoice(int start_code, std::string* log) : code_(start_code), log_(log) {}
  int Start() override {
    *log_ += "start ";
    return code_;
  }
  void SetTuning(int cut, int minimum, int gap) override {
    *log_ += "tuning " + std::to_string(cut) + "," + std::to_string(minimum) + "," + std::to_string(gap) + " ";
  }
  std::string Translate(std::string_view w) override { return std::string(w); }
  void Speak(std::string_view notation) override { *log_ += "speak " + std::string(notation) + " "; }
  void Close() override { *log_ += "close "; }

 private:
  int code_;
  std::string* log_;
};

TEST_F(SpeechInit, DefaultsAreWrittenBackOnAFreshFile) {
  InitSpeech(Context().speech, 0, "c:\\app");
  std::string ini = IniNow();
  for (const char* line : {"FALANDO=Sim", "ECOAROPCAO=Sim", "FALARTUDO=Sim", "BIPSCLECSCURTOS=NAO",
                           "DIRLETRAS=c:\\ferlan\\som\\letras"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;
  EXPECT_TRUE(SpeechEchoOn(Context().speech));
  EXPECT_TRUE(FullAnnouncements(Context().speech));
  EXPECT_EQ(SpeechSpeed(Context().speech), 3);
  EXPECT_EQ(AppSoundsFolder(Context().speech), "c:\\app\\");
  EXPECT_EQ(SystemSoundsFolder(Context().speech), "c:\\ferlan\\som\\letras\\");
}

// Where MBROLA is installed by hand (Windows), a run that finds the Orvan
// voice configured and MBROLA missing says where to get it, once; a voice
// kind other than Orvan hears nothing. Where packages bring it, nothing.
TEST_F(SpeechInit, AMissingMbrolaIsToldOnceWhereItIsInstalledByHand) {
  Ini("[SERVFALA]\r\nTIPOSAPI=5\r\n");
  EXPECT_EQ(MissingMbrolaNoticeOnce(Context().speech), "");
  Ini("[SERVFALA]\r\nTIPOSAPI=3\r\n");
  std::string first = MissingMbrolaNoticeOnce(Context().speech);
  if (MbrolaWhereToGet().empty() || MbrolaInstalled(Context().platform)) {
    EXPECT_EQ(first, "");
    return;
  }
  EXPECT_EQ(first, L1(MissingMbrolaMessage()));
  EXPECT_NE(first.find(L1(MbrolaWhereToGet())), std::string::npos);
  EXPECT_NE(IniNow().find("AVISOMBROLA=S"), std::string::npos) << IniNow();
  EXPECT_EQ(MissingMbrolaNoticeOnce(Context().speech), "");
}

TEST_F(SpeechInit, VoiceSettingsOfTheSpeedReachTheVoiceAndThePlayer) {
  Ini("[TRADUTOR]\r\nVELOCIDADE=7\r\nDIRLETRAS=c:\\sons\r\n"
      "[SINTETIZADOR]\r\nCORTEFON3=300\r\nSOBRAFON3=x\r\nINTERPAL3=50\r\nCORTAFALA3=S\r\nRAPIDINHO3=N\r\n"
      "PAUSAPONTO3=500\r\nCORTAFALA5=S\r\nRAPIDINHO5=Sim\r\n"
      "[TALVEN]\r\nBIPSCLECSCURTOS=Sim\r\nFALANDO=Nao\r\n");
  std::string log;
  SetWordVoice(Context().speech, std::make_unique<RecordingVoice>(0, &log));
  InitSpeech(Context().speech, 0, "");
  EXPECT_EQ(SpeechSpeed(Context().speech), 3);  // 7 is out of range
  EXPECT_EQ(log, "tuning 300,0,50 start tuning 300,0,50 ");
  EXPECT_TRUE(GetWaveFlags(Context().player).cut);
  EXPECT_FALSE(GetWaveFlags(Context().player).fast);
  EXPECT_EQ(Context().speech.pause_full, 500);
  EXPECT_EQ(Context().speech.pause_comma, 150);
  EXPECT_EQ(SystemSoundsFolder(Context().speech), "c:\\sons\\");
  EXPECT_EQ(LettersFolder(Context().speech), "c:\\sons\\");  // dirLetras is the same key
  EXPECT_FALSE(SpeechEchoOn(Context().speech));
  // Short clicks and beeps.
  ErrorBeep(Context().speech);
  ASSERT_EQ(audio_->pieces().size(), 1u);
  EXPECT_EQ(audio_->pieces()[0].data.size(), 256u);
  // Another speed, as after Ctrl+F4.
  DoneSpeech(Context().speech);
  InitSpeech(Context().speech, 5, AppSoundsFolder(Context().speech));
  EXPECT_TRUE(GetWaveFlags(Context().player).fast);
  EXPECT_EQ(SpeechSpeed(Context().speech), 5);
}

// Ctrl+F4 then 5 in the line editor: the new speed is said, and its
// settings stay after the edit (the editor used to put the player's flags of
// the old speed back when it ended, so rate 5 lost its cutting).
TEST_F(SpeechInit, CtrlF4InTheLineEditorKeepsTheNewSpeed) {
  Ini("[TRADUTOR]\r\nVELOCIDADE=3\r\n[SINTETIZADOR]\r\nCORTAFALA3=N\r\nCORTAFALA5=S\r\nRAPIDINHO5=S\r\n");
  InitSpeech(Context().speech, 0, "c:\\app");
  EXPECT_FALSE(GetWaveFlags(Context().player).cut);
  UseMemoryConsole("\x1b[1;5S" "5\r", &console_);
  ClearCapturedSpeech(Context().speech_log);
  std::string text;
  EXPECT_EQ(EditField(Context().console, &text, 1, 5, 40, 40, true), 13);
  EXPECT_EQ(SpeechSpeed(Context().speech), 5);
  EXPECT_TRUE(GetWaveFlags(Context().player).cut);
  EXPECT_TRUE(GetWaveFlags(Context().player).fast);
  EXPECT_FALSE(GetWaveFlags(Context().player).no_wait);
  EXPECT_EQ(AppSoundsFolder(Context().speech), "c:\\app\\");
  std::string said = Log();
  size_t asked = said.find("play _VELOC\n"), typed = said.find("char 53\n"), told = said.find("say Velocidade 5\n");
  ASSERT_NE(told, std::string::npos) << said;
  EXPECT_LT(asked, typed) << said;
  EXPECT_LT(typed, told) << said;
}

TEST_F(SpeechInit, AVoiceThatCannotStartIsReportedAndEndsTheProgram) {
  Ini("[SINTETIZADOR]\r\nDIFONES3=DIFONES2XYZ\r\n");
  std::string log;
  SetWordVoice(Context().speech, std::make_unique<RecordingVoice>(1, &log));
  Type("x\r");
  InitSpeech(Context().speech, 0, "");
  // The end goes back to the caller, which returns it to main.
  ASSERT_TRUE(StopRequested(Context().platform));
  EXPECT_EQ(RequestedStop(Context().platform).reason, EndReason::kNoVoice);
  EXPECT_EQ(RequestedStop(Context().platform).exit_code, 3);
  ClearStopRequest(Context().platform);
  EXPECT_EQ(console_, "Erro de inicialização da voz gravada\nBanco de dados de voz: DIFONES2\nTecle Enter\n");
  EXPECT_NE(log.find("close"), std::string::npos);
  EXPECT_FALSE(KeyPressed(Context().platform));  // waited for Enter
  // Every line was spoken too, the wait announced before it began.
  std::string spoken = Log();
  EXPECT_NE(spoken.find("say Erro de inicialização da voz gravada\n"), std::string::npos) << spoken;
  EXPECT_NE(spoken.find("say Banco de dados de voz: DIFONES2\n"), std::string::npos) << spoken;
  EXPECT_NE(spoken.find("say Tecle Enter\n"), std::string::npos) << spoken;
}

// The input ending while "Tecle Enter" waits ends the wait; the run ends
// because the voice could not start, and says so with that reason's code.
TEST_F(SpeechInit, InputEndingDuringTheVoiceReportEndsWithTheVoicesOwnCode) {
  Ini("[SINTETIZADOR]\r\nDIFONES3=DIFONES2XYZ\r\n");
  std::string log;
  SetWordVoice(Context().speech, std::make_unique<RecordingVoice>(1, &log));
  InitSpeech(Context().speech, 0, "");
  EXPECT_EQ(RequestedStop(Context().platform).reason, EndReason::kNoVoice);
  EXPECT_EQ(RequestedStop(Context().platform).exit_code, 3);
  ClearStopRequest(Context().platform);
}

// Another program keeps Talven.ini's lock while the defaults are written at
// start: the wait is told on the console at once and said as soon as the
// voice has started, which no voice could before.
TEST_F(SpeechInit, AWaitForTheConfigurationFileIsSaidOnceTheVoiceHasStarted) {
  std::filesystem::create_directories(dir_ / "config/Talven");
  std::string log;
  SetWordVoice(Context().speech, std::make_unique<RecordingVoice>(0, &log));
  // The update kept for want of the lock stays with the case's configuration
  // state, which the speech facade reads.
  {
    HostFileLock other((dir_ / "config/Talven/Talven.ini").string());
    ASSERT_TRUE(other.held());
    InitSpeech(Context().speech, 0, "");
  }
  EXPECT_EQ(console_, "Aguardando o arquivo de configuração\n");
  size_t started = log.find("start ");
  size_t said = log.find("speak Aguardando o arquivo de configura\xe7\xe3o ");
  ASSERT_NE(said, std::string::npos) << log;
  EXPECT_LT(started, said) << log;
  EXPECT_EQ(log.find("speak Aguardando", said + 1), std::string::npos) << log;
  EXPECT_TRUE(SpeechEchoOn(Context().speech));  // the defaults, from memory
}

TEST_F(SpeechInit, ConfiguredOutputDeviceIsChosenByName) {
  Ini("[TRADUTOR]\r\nSAIDADEAUDIO=usb headset\r\n");
  audio_->set_devices({"Built-in Audio", "USB Headset"});
  InitSpeech(Context().speech, 0, "");
  Click(Context().speech);
  EXPECT_EQ(audio_->device(), 1);
}

// An engine that notes how it was started.
class StartEngine : public SpeechEngine {
 public:
  explicit StartEngine(bool ok, std::string* log) : ok_(ok), log_(log) {}
  bool Start(int voice, int rate, int pitch, std::string_view file, int kind) override {
    *log_ = std::to_string(voice) + "," + std::to_string(rate) + "," + std::to_string(pitch) + ",'" +
            std::string(file) + "'," + std::to_string(kind);
    return ok_;
  }
  void Speak(std::string_view t) override { *log_ += " speak " + std::string(t); }
  bool Busy(int) override { return false; }
  void Stop() override {}
  void Release() override { *log_ += " release"; }

 private:
  bool ok_;
  std::string* log_;
};

TEST_F(SpeechInit, ConfiguredEngineIsStartedWithItsSettings) {
  Ini("[TRADUTOR]\r\nSAPI=Sim\r\n[SERVFALA]\r\nVOZ=2\r\nVELOCIDADE=15\r\nTOM=4\r\nTIPOSAPI=54\r\n");
  std::string log;
  SetSpeechEngine(Context().speech, std::make_unique<StartEngine>(true, &log));
  InitSpeech(Context().speech, 0, "");
  EXPECT_EQ(log, "2,0,4,'',54");  // a rate above 10 is not for this kind
  EXPECT_TRUE(EngineActive(Context().speech));
  SpeakText(Context().speech, "oi");
  EXPECT_EQ(log, "2,0,4,'',54 speak oi");
  DoneSpeech(Context().speech);
  EXPECT_EQ(log, "2,0,4,'',54 speak oi release");
  SetSpeechEngine(Context().speech, nullptr);
}

TEST_F(SpeechInit, EngineThatFailsLeavesTheRecordedVoice) {
  Ini("[TRADUTOR]\r\nSAPI=S\r\n[SERVFALA]\r\nVELOCIDADE=15\r\nTIPOSAPI=4\r\n");
  std::string log;
  SetSpeechEngine(Context().speech, std::make_unique<StartEngine>(false, &log));
  InitSpeech(Context().speech, 0, "");
  EXPECT_EQ(log, "0,15,0,'',4");
  EXPECT_FALSE(EngineActive(Context().speech));
  ClearCapturedSpeech(Context().speech_log);
  SpeakText(Context().speech, "oi");
  EXPECT_EQ(Log(), "say oi\n  phrase oi \n    diphone oi \n");
  SetSpeechEngine(Context().speech, nullptr);
}

// A voice whose data is missing names what it lacks; the report is spoken
// by an engine, the local one when none is configured.
class MissingDataVoice : public RecordingVoice {
 public:
  explicit MissingDataVoice(std::string* log) : RecordingVoice(1, log) {}
  std::string MissingData() override { return DrivesFolder() + "/c/ferlan/som/difones"; }
};

// The user presses Enter once the wait has been announced (a key typed
// earlier would cut the report short).
class EnterAfterPrompt : public StartEngine {
 public:
  explicit EnterAfterPrompt(std::string* log) : StartEngine(true, log) {}
  void Speak(std::string_view t) override {
    StartEngine::Speak(t);
    if (t == "Tecle Enter") PushKeyBytes(test::Context().console, "\r");
  }
};

TEST_F(SpeechInit, AVoiceWithoutItsDataNamesTheMissingFolderAndSpeaksThroughAnEngine) {
  std::string log, engine_log;
  SetWordVoice(Context().speech, std::make_unique<MissingDataVoice>(&log));
  SetSpeechEngine(Context().speech, std::make_unique<EnterAfterPrompt>(&engine_log));
  InitSpeech(Context().speech, 0, "");
  SetSpeechEngine(Context().speech, nullptr);
  EXPECT_EQ(RequestedStop(Context().platform).exit_code, kExitNoVoice);
  ClearStopRequest(Context().platform);
  // The voice database name is the one the voice uses when none is set.
  EXPECT_EQ(console_, "Erro de inicialização da voz gravada\nBanco de dados de voz: DIFONES2\n"
                      "Não encontrado: C:\\ferlan\\som\\difones\nTecle Enter\n");
  EXPECT_EQ(engine_log.substr(0, engine_log.find(' ')), "0,0,0,'',4");
  EXPECT_NE(engine_log.find("speak N\xE3o encontrado: C:\\ferlan\\som\\difones"), std::string::npos)
      << engine_log;
  EXPECT_NE(engine_log.find("speak Tecle Enter release"), std::string::npos) << engine_log;
}

}  // namespace kal::test
