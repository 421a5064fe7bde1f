// The speech server voices (kinds 5 and 54) against a private speech server
// that the test starts with its own configuration and runtime folder, its
// sound going to a null sink of a private sound server (or to ALSA's null
// device when there is no sound server program). Without a speech server
// program the tests that need one are skipped.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "2_config/config.h"
#include "4_voices/speech_engine_port.h"
#include "5_speech/speech_state.h"
#include "4_voices/engines/engine_switch.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/speech_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

// Under the sanitizers: the client library loses the text of its own
// connection error, and it splits the server's voice list (over 13000
// lines) with strstr on the rest of the reply each time, which the checked
// strstr turns into minutes.
extern "C" const char* __lsan_default_suppressions() { return "leak:spd_open2\nleak:__vasprintf_internal\n"; }
extern "C" const char* __asan_default_options() { return "intercept_strstr=0"; }

namespace kal::test {

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

bool Installed(const std::string& path) { return std::filesystem::exists(path); }

const char* kModules = "/usr/lib/speech-dispatcher-modules";

// The private servers, shared by the tests of the suite.
struct Servers {
  TempFolder dir;
  ChildProcess sound, speech, recorder;
  std::string skip_reason;
  bool pulse = false;
  std::string socket;
  std::string recording;
  std::string module;
};
Servers* g_servers = nullptr;

std::string Write(const std::string& path, const std::string& text) {
  WriteFileBytes(path, text);
  return path;
}

void StartServers(Servers& s) {
  if (!Installed("/usr/bin/speech-dispatcher") || !Installed(std::string(kModules) + "/sd_espeak-ng")) {
    s.skip_reason = "speech-dispatcher with its espeak-ng module is not installed";
    return;
  }
  std::string w = s.dir.path();
  std::filesystem::create_directories(w + "/run");
  std::filesystem::permissions(w + "/run", std::filesystem::perms::owner_all);
  std::filesystem::create_directories(w + "/spd/conf/modules");
  std::filesystem::create_directories(w + "/spd/log");
  std::vector<std::pair<std::string, std::string>> env = {{"HOME", w}, {"XDG_RUNTIME_DIR", w + "/run"}};
  s.pulse = Installed("/usr/bin/pulseaudio");
  if (s.pulse) {
    std::string native = w + "/run/native";
    s.sound.Start({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                   "--disable-shm=yes", "--log-target=stderr",
                   "-L", "module-native-protocol-unix socket=" + native + " auth-anonymous=1",
                   "-L", "module-null-sink sink_name=nullsink", "-L", "module-always-sink"},
                  env, w + "/pulse.log");
    s.pulse = WaitForPath(native, 5000);
    if (s.pulse) env.push_back({"PULSE_SERVER", "unix:" + native});
    else s.sound.Stop();
  }
  std::string module_conf = "EspeakNormalRate 170\nEspeakMinRate 80\nEspeakMaxRate 449\n";
  Write(w + "/spd/conf/modules/espeak-ng.conf", module_conf);
  Write(w + "/spd/conf/modules/espeak-ng-mbrola.conf", module_conf);
  // The espeak-ng module lists every language and variant (over 13000
  // voices, seconds to fetch); its MBROLA sibling lists only the installed
  // MBROLA voices, which keeps the starts short.
  s.module = Installed(std::string(kModules) + "/sd_espeak-ng-mbrola") && Installed("/usr/share/mbrola/br3")
                 ? "espeak-ng-mbrola"
                 : "espeak-ng";
  s.socket = w + "/spd/speechd.sock";
  std::string audio = s.pulse ? "AudioOutputMethod \"pulse\"\n" : "AudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n";
  Write(w + "/spd/conf/speechd.conf", "CommunicationMethod \"unix_socket\"\nSocketPath \"" + s.socket +
                                          "\"\nTimeout 0\n" + audio +
                                          "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                                          "AddModule \"espeak-ng-mbrola\" \"sd_espeak-ng-mbrola\" "
                                          "\"espeak-ng-mbrola.conf\"\n"
                                          "DefaultModule espeak-ng\nDefaultLanguage \"pt-BR\"\nDisableAutoSpawn\n");
  s.speech.Start({"speech-dispatcher", "-s", "-t", "0", "-C", w + "/spd/conf", "-m", kModules, "-L", w + "/spd/log",
                  "-P", w + "/spd/pid"},
                 env, w + "/spd.log");
  if (!WaitForPath(s.socket, 5000) || !s.speech.Running()) {
    s.skip_reason = "the private speech server did not start (see " + w + "/spd.log)";
    return;
  }
  if (s.pulse && Installed("/usr/bin/parec")) {
    s.recording = w + "/rec.raw";
    std::vector<std::string> args = {"sh", "-c", "exec parec -d nullsink.monitor --format=s16le --rate=22050 "
                                                 "--channels=1 > " + s.recording};
    s.recorder.Start(args, env, w + "/parec.log");
  }
}

// Samples above a whisper in the recording.
size_t LoudRecorded(const std::string& path) {
  std::string pcm = ReadFileBytes(path);
  size_t n = 0;
  for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
    int v = static_cast<int16_t>(static_cast<uint8_t>(pcm[i]) | (static_cast<uint8_t>(pcm[i + 1]) << 8));
    if (v > 1000 || v < -1000) ++n;
  }
  return n;
}

class ServerVoiceTest : public SpeechFixture {
 protected:
  static void SetUpTestSuite() {
    g_servers = new Servers;
    StartServers(*g_servers);
  }
  static void TearDownTestSuite() {
    g_servers->recorder.Stop();
    g_servers->speech.Stop();
    g_servers->sound.Stop();
    delete g_servers;
    g_servers = nullptr;
  }
  void SetUp() override {
    test::UseRealLoop();
    SpeechFixture::SetUp();
    if (!g_servers->skip_reason.empty()) GTEST_SKIP() << g_servers->skip_reason;
    address_.emplace("SPEECHD_ADDRESS", "unix_socket:" + g_servers->socket);
    SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
    WriteConfig(Context().config, "SERVFALA", "MODULO", g_servers->module);
  }
  void TearDown() override {
    Engine(Context().speech).Release();
    SetSpeechEngine(Context().speech, nullptr);
    address_.reset();
    SpeechFixture::TearDown();
  }
  // Waits (at most 20 s) until the engine is quiet; the time it took.
  double WaitQuiet() {
    auto t = Clock::now();
    while (Engine(Context().speech).Busy(0) && MsSince(t) < 20000) test::TestLoop().Wait(5);
    return MsSince(t);
  }
  std::optional<ScopedEnv> address_;
};

const char* kSentence = "O rato roeu a roupa do rei de Roma, e a rainha com raiva resolveu remendar.";

}  // namespace

TEST_F(ServerVoiceTest, SpeaksAndTheEndNotificationEndsBusy) {
  auto t = Clock::now();
  ASSERT_TRUE(Engine(Context().speech).Start(1, 5, 0, "", 5));
  RecordProperty("start_ms", std::to_string(MsSince(t)));
  size_t loud_before = g_servers->recording.empty() ? 0 : LoudRecorded(g_servers->recording);
  Engine(Context().speech).Speak("teste de fala");
  EXPECT_TRUE(Engine(Context().speech).Busy(0));
  double took = WaitQuiet();
  RecordProperty("speak_to_end_ms", std::to_string(took));
  // Heard in real time, and ended by the notification well before the
  // time a lost message is given.
  if (g_servers->pulse) {
    EXPECT_GT(took, 150.0);
  }
  EXPECT_LT(took, 6500.0);
  if (!g_servers->recording.empty()) {
    EXPECT_GT(LoudRecorded(g_servers->recording), loud_before + 1000);
  }
  // An empty text is spoken as a blank and ends too.
  Engine(Context().speech).Speak("");
  EXPECT_LT(WaitQuiet(), 6500.0);
}

TEST_F(ServerVoiceTest, StopCancelsWhatIsQueued) {
  if (!g_servers->pulse) GTEST_SKIP() << "without a sound server speech is not paced, nothing to cancel";
  // The second flavour, with a module of its own named; a voice number
  // past the list starts the first voice.
  WriteConfig(Context().config, "SERVFALA", "MODULO", "no-such-module");
  WriteConfig(Context().config, "SERVFALA", "MODULO54", g_servers->module);
  ASSERT_TRUE(Engine(Context().speech).Start(100000, 3, 0, "", 54));
  for (int i = 0; i < 3; ++i) Engine(Context().speech).Speak(kSentence);
  auto t = Clock::now();
  while (MsSince(t) < 400) test::TestLoop().Wait(10);
  ASSERT_TRUE(Engine(Context().speech).Busy(0));
  auto stop_at = Clock::now();
  Engine(Context().speech).Stop();
  WaitQuiet();
  double total = MsSince(stop_at);
  EXPECT_LT(total, 500.0);
  RecordProperty("stop_ms", std::to_string(total));
  // Still usable after a stop.
  Engine(Context().speech).Speak("sim");
  EXPECT_TRUE(Engine(Context().speech).Busy(0));
  EXPECT_LT(WaitQuiet(), 6500.0);
}

// Runs last in its suite: it ends the shared server.
TEST_F(ServerVoiceTest, ServerGoingAwayDoesNotHoldTheProgram) {
  ASSERT_TRUE(Engine(Context().speech).Start(1, 0, 0, "", 5));
  g_servers->speech.Stop();
  auto t = Clock::now();
  Engine(Context().speech).Speak("bom dia");
  EXPECT_LT(WaitQuiet(), 2000.0);
  Engine(Context().speech).Speak("de novo");
  EXPECT_FALSE(Engine(Context().speech).Busy(0));
  Engine(Context().speech).Stop();
  Engine(Context().speech).Release();
  EXPECT_LT(MsSince(t), 3000.0);
}

// No server anywhere: the start fails within a second and the recorded
// voice speaks.
TEST_F(SpeechFixture, NoSpeechServerMeansTheRecordedVoiceWithinASecond) {
  TempFolder tmp;
  ScopedEnv address("SPEECHD_ADDRESS", "unix_socket:" + (tmp / "none.sock"));
  ScopedEnv spawn("SPEECHD_CMD", "/bin/false");
  UseRealLoop();
  SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
  auto t = Clock::now();
  EXPECT_FALSE(Engine(Context().speech).Start(1, 0, 0, "", 5));
  EXPECT_FALSE(Engine(Context().speech).Start(1, 0, 0, "", 54));
  EXPECT_LT(MsSince(t), 1000.0);

  WriteConfig(Context().config, "TRADUTOR", "SAPI", "S");
  WriteConfig(Context().config, "SERVFALA", "TIPOSAPI", "5");
  t = Clock::now();
  InitSpeech(Context().speech, 0, "");
  EXPECT_LT(MsSince(t), 1000.0);
  EXPECT_FALSE(EngineActive(Context().speech));
  ClearCapturedSpeech(Context().speech_log);
  SpeakText(Context().speech, "bom dia");
  EXPECT_NE(Log().find("bom dia"), std::string::npos);
  SetSpeechEngine(Context().speech, nullptr);
}

// A server that takes the connection and never answers: the start gives
// up within a second and the program goes on.
TEST_F(SpeechFixture, ServerThatNeverAnswersFailsTheStartWithinASecond) {
  TempFolder tmp;
  std::string path = tmp / "mute.sock";
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  ScopedEnv address("SPEECHD_ADDRESS", "unix_socket:" + path);
  ScopedEnv spawn("SPEECHD_CMD", "/bin/false");
  UseRealLoop();
  SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
  auto t = Clock::now();
  EXPECT_FALSE(Engine(Context().speech).Start(1, 0, 0, "", 5));
  EXPECT_LT(MsSince(t), 1100.0);
  RecordProperty("hung_start_ms", std::to_string(MsSince(t)));
  // Nothing was started, so nothing waits for it.
  Engine(Context().speech).Speak("bom dia");
  EXPECT_FALSE(Engine(Context().speech).Busy(0));
  Engine(Context().speech).Stop();
  SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
  close(fd);  // the client library's blocked read now ends
}

// With an output file the server voices write the speech to it.
TEST_F(SpeechFixture, ServerVoiceWithAnOutputFileWritesAWave) {
  TempFolder tmp;
  ScopedEnv address("SPEECHD_ADDRESS", "unix_socket:" + (tmp / "none.sock"));
  ScopedEnv spawn("SPEECHD_CMD", "/bin/false");
  UseRealLoop();
  SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
  std::string file = tmp / "servidor.wav";
  ASSERT_TRUE(Engine(Context().speech).Start(1, -5, 0, file, 54));
  Engine(Context().speech).Speak("bom dia");
  auto t = Clock::now();
  while (Engine(Context().speech).Busy(0) && MsSince(t) < 10000) test::TestLoop().Wait(5);
  Engine(Context().speech).Release();
  SetSpeechEngine(Context().speech, std::make_unique<EngineSwitch>(test::Context().voices, test::TestLoop()));
  EXPECT_TRUE(audio_->pieces().empty());
  std::string image = ReadFileBytes(file);
  ASSERT_GT(image.size(), 44u + 22050u);
  EXPECT_EQ(image.substr(0, 4), "RIFF");
}

}  // namespace kal::test
