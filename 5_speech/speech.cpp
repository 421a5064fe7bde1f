// The speech facade's module state, its start and end, and the requests
// that play one recording or wait for speech to end.
#include "5_speech/speech.h"
#include "5_speech/speech_messages.h"

#include <string>

#include "0_base/keys.h"
#include "0_base/latin1.h"
#include "2_config/sound_paths.h"
#include "2_config/config.h"
#include "4_voices/speech_engine_port.h"
#include "0_base/speech_log.h"
#include "5_speech/speech_state.h"
#include "3_audio/wave_player.h"
#include "4_voices/word_voice.h"
#include "1_platform/event_loop.h"
#include "1_platform/mbrola.h"
#include "1_platform/paths.h"
#include "1_platform/stop_request.h"
#include "1_platform/pump.h"
#include "1_platform/user_notice.h"
#include "4_voices/diphone/diphone.h"
#include "4_voices/engines/engine_switch.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/voices.h"

namespace kal {

namespace {

// The installed facade. Process-wide because every layer above speaks
// through the facade's free functions; main sets it for the run.
SpeechState* g_speech = nullptr;

}  // namespace

SpeechScope::SpeechScope(SpeechState& state) : previous_(g_speech) { g_speech = &state; }
SpeechScope::~SpeechScope() { g_speech = previous_; }

SpeechState& Speech() { return *g_speech; }

SpeechEngine& Engine() {
  auto& s = Speech();
  if (!s.engine) s.engine = MakeNoSpeechEngine();
  return *s.engine;
}

WordVoice& Words() {
  auto& s = Speech();
  if (!s.words) s.words = MakeDiphoneWordVoice(*s.voices);
  return *s.words;
}

void SetSpeechEngine(std::unique_ptr<SpeechEngine> engine) { Speech().engine = std::move(engine); }
void SetWordVoice(std::unique_ptr<WordVoice> voice) { Speech().words = std::move(voice); }

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

namespace {

// How the word voice's full buffers play: as any wave image, and the voice
// goes on only when it has ended (a key cuts it short and stops speech).
void PlayWordVoiceBuffer(std::string_view image) {
  PlayWaveBuffer(image);
  while (SpeechBusy()) Delay(10);
}

}  // namespace

void EnsureSpeechModule() {
  auto& s = Speech();
  if (s.module_ready) return;
  s.module_ready = true;
  SetDiphonePlayer(*s.voices, PlayWordVoiceBuffer);
  s.echo = ConfigYes(ReadConfigDefault(cfg::kFalando));
  s.echo_option = ConfigYes(ReadConfigDefault(cfg::kEcoarOpcao));
  s.full_announce = ConfigYes(ReadConfigDefault(cfg::kFalarTudo));
  s.divisor = ConfigYes(ReadConfigDefault(cfg::kBipsClecsCurtos)) ? 2 : 1;
  LoadLegacyFlag();
  s.speaking = true;
  s.engine_kind = 5;
  s.first_key_replaces = true;
  s.click = MakeClickSound(s.divisor);
  s.beep = MakeBeepSound(s.divisor);
}

namespace {

constexpr int kFallbackEngineKind = 4;

// The voice settings of one speed (section SINTETIZADOR, keys ending in the
// speed digit): word voice tuning, the player's flags, the pauses.
void LoadVoiceSettings(int speed) {
  auto& s = Speech();
  std::string n = std::to_string(speed);
  auto key = [&](const cfg::ConfigKey& stem) { return std::string(stem.name) + n; };
  auto read = [&](const cfg::ConfigKey& stem) { return ReadConfig(stem.section, key(stem)); };
  auto number = [&](const cfg::ConfigKey& stem) { return ReadConfigInt(stem.section, key(stem), stem.number); };
  s.voice_database = read(cfg::kDifones).substr(0, 8);
  Words().SetTuning(number(cfg::kCorteFon), number(cfg::kSobraFon), number(cfg::kInterPal));
  WaveFlags f = GetWaveFlags();
  f.cut = ConfigNotN(read(cfg::kCortaFala));
  f.fast = ConfigNotN(read(cfg::kRapidinho));
  SetWaveFlags(f);
  s.pause_full = number(cfg::kPausaPonto);
  s.pause_comma = number(cfg::kPausaVirg);
  s.pause_colon = number(cfg::kPausaDoisPontos);
}

void StartEngine() {
  auto& s = Speech();
  s.engine_active = false;
  if (!ConfigNotN(ReadConfig(cfg::kSapi))) return;
  int voice = ReadConfigInt(cfg::kVoz);
  int rate = ReadConfigInt(cfg::kServVelocidade);
  int pitch = ReadConfigInt(cfg::kTom);
  int kind = ReadConfigInt(cfg::kTipoSapi);
  if (kind != 4 && rate > 10) rate = 0;
  s.engine_active = Engine().Start(voice, rate, pitch, "", kind);
  s.engine_kind = kind;
}

// When the recorded voice cannot start, the report must still be heard: the
// configured engine speaks it, or else the local engine (kind 4), which
// needs no data of ours; only when neither starts is it written alone.
void StartFallbackVoice() {
  auto& s = Speech();
  StartEngine();
  if (s.engine_active) return;
  s.engine_kind = kFallbackEngineKind;
  s.engine_active = Engine().Start(0, 0, 0, "", kFallbackEngineKind);
}

void SpeakTextNow(std::string_view text);

// A voice can speak now: what was held while it started is said.
void SayHeld() {
  auto& s = Speech();
  s.voice_starting = false;
  std::vector<std::string> held = std::move(s.held);
  s.held.clear();
  for (const std::string& text : held) SpeakTextNow(text);
}

// The start-up report: every line written (through the console's notice
// writer), then every line spoken. A notice that the speaking brings about
// (no sound device) then comes after the report, not inside it.
void Report(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) WriteNoticeLine(line);
  for (const std::string& line : lines) SpeakText(line);
}

// The recorded voice's data is not installed (or not where the configuration
// says): every line of the report is written and spoken, the missing folder
// or file is named, and the wait for Enter is announced before it begins.
// Returns false when the voice did not start (the stop is requested).
bool StartWordVoice() {
  int code = Words().Start();
  if (code == 0) return true;
  auto& s = Speech();
  std::string missing = Words().MissingData();
  Words().Close();
  StartFallbackVoice();
  SayHeld();
  std::vector<std::string> report = {
      L1(speech_msg::kInitError),
      L1(speech_msg::kVoiceDatabase) + (s.voice_database.empty() ? kDiphoneDatabaseName : s.voice_database)};
  if (!missing.empty()) report.push_back(L1(speech_msg::kNotFound) + ScriptPath(missing));
  report.push_back(std::string(speech_msg::kPressEnter));
  Report(report);
  while (ReadKey() != kKeyEnter && !StopRequested()) {
  }
  StopSpeech();
  if (s.engine_active) Engine().Release();
  s.engine_active = false;
  // The run cannot go on without its voice: the end goes back to main. The
  // input ending during the wait for Enter gives way to this reason, which
  // tells more; the break key and signals stay as they are.
  if (RequestedStop().reason == EndReason::kInputEnded) ClearStopRequest();
  RequestStop(EndOf(EndReason::kNoVoice));
  return false;
}

}  // namespace

void InitSpeech(int speed, std::string_view sounds_folder) {
  auto& s = Speech();
  s.voice_starting = true;
  EnsureSpeechModule();
  LoadLegacyFlag();
  if (speed <= 0) speed = ReadConfigInt(cfg::kVelocidade);
  if (speed < 1 || speed > 5) speed = 3;
  s.speed = speed;
  LoadVoiceSettings(speed);
  if (!StartWordVoice()) return;
  s.app_folder = WithBackslash(std::string(sounds_folder));
  s.system_folder = WithBackslash(ReadConfigDefault(cfg::kDirLetras));
  // The letter files are where the word voice finds them; the system sounds
  // folder stands in when that key is not set.
  std::string letters = ReadConfigDirect(cfg::kDirLetrasDirect);
  s.letters_folder = letters.empty() ? s.system_folder : WithBackslash(letters);
  LoadVoiceSettings(speed);
  StartEngine();
  SayHeld();
}

void DoneSpeech() {
  auto& s = Speech();
  WaitWhileSpeaking();
  StopSpeech();
  if (s.engine_active) Engine().Release();
  s.engine_active = false;
  Words().Close();
}

void SpeakChar(uint8_t c) {
  SpeechLogScope log("char", std::to_string(c));
  WaitSpeech();
  if (c < 32 && c != 0 && c != 12) return;
  auto& s = Speech();
  std::string path = s.letters_folder + "_" + std::to_string(c) + ".wav";
  if (!SoundFileExists(path)) path = s.letters_folder + "_unknown.wav";
  PlayWaveFile(path);
}

void SpellText(std::string_view text) {
  SpeechLogScope log("spell", text);
  for (char ch : text) {
    if (KeyPressed()) break;
    if (ch == '\t') PlayNamedSound("_FON9");
    else SpeakChar(static_cast<uint8_t>(ch));
  }
}

namespace {
std::string NamedSoundPath(std::string_view name) {
  auto& s = Speech();
  return (!name.empty() && name[0] == '_' ? s.system_folder : s.app_folder) + std::string(name) + ".wav";
}
}  // namespace

void PlayNamedSound(std::string_view name) {
  SpeechLogScope log("play", name);
  WaitSpeech();
  PlayWaveFile(NamedSoundPath(name));
}

bool SoundExists(std::string_view name) { return SoundFileExists(NamedSoundPath(name)); }

void PlayWaveBuffer(std::string_view image) {
  SpeechLogScope log("wave", "memory " + std::to_string(image.size()), true);
  WaitSpeech();
  if (PlayWaveMemory(image) == 0) WaitWave();
}

uint8_t ReadKeySpoken() {
  uint8_t k = ReadKey();
  if (StopRequested()) return k;  // no key came: nothing to name
  StopSpeech();
  SpeakChar(k);
  return k;
}

bool SpeechBusy() {
  auto& s = Speech();
  if (KeyPressed()) {
    StopSpeech();
    return false;
  }
  bool wave = WaveBusy();
  return wave || (s.engine_active && Engine().Busy(0));
}

void WaitWhileSpeaking() {
  EventLoop& loop = Speech().loop;
  while (SpeechBusy()) loop.Wait(10);
}

void WaitSpeech() {
  auto& s = Speech();
  if (!s.speaking) return;
  WaitWhileSpeaking();
  s.speaking = false;
}

void StopSpeech() {
  auto& s = Speech();
  LogSpeechDetail("stop");
  WaveStop();
  s.stop = true;
  if (s.engine_active && (s.engine_kind == 3 || Engine().Busy(0))) Engine().Stop();
  s.loop.Post([] {});
}

void SpeechPause(int ms) {
  for (int i = 0; i < ms / 50; ++i)
    if (!KeyPressed()) Delay(50);
}

void SpeakText(std::string_view text) {
  SpeechLogScope log("say", text);
  EnsureSpeechModule();
  auto& s = Speech();
  if (s.voice_starting) {
    s.held.emplace_back(text);
    return;
  }
  SpeakTextNow(text);
}

namespace {

void SpeakTextNow(std::string_view text) {
  auto& s = Speech();
  if (!s.engine_active) {
    SpeakRecorded(text);
    return;
  }
  WaitWhileSpeaking();
  if (KeyPressed()) return;
  Engine().Speak(text);
  s.speaking = true;
}

}  // namespace

std::string UpperCaseText(std::string_view text) {
  std::string out(text);
  for (auto& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || c >= 0xE0) ch = static_cast<char>(c - 0x20);
  }
  return out;
}

bool SpeechEchoOn() {
  EnsureSpeechModule();
  return Speech().echo;
}
void SetSpeechEcho(bool on) {
  EnsureSpeechModule();
  Speech().echo = on;
}
bool OptionEchoOn() {
  EnsureSpeechModule();
  return Speech().echo_option;
}
bool FullAnnouncements() {
  EnsureSpeechModule();
  return Speech().full_announce;
}
bool EngineActive() { return Speech().engine_active; }
std::string VoiceStartProblem() {
  const auto& s = Speech();
  if (s.engine_active || s.engine_kind != kEngineOrvan || !ConfigNotN(ReadConfig(cfg::kSapi))) return "";
  return OrvanLastError(*s.voices->orvan);
}
std::string MissingMbrolaNoticeOnce() {
  if (MbrolaWhereToGet().empty() || ReadConfigInt(cfg::kTipoSapi) != kEngineOrvan) return "";
  if (ReadConfigDirect(cfg::kAvisoMbrola) == "S" || MbrolaInstalled()) return "";
  WriteConfig(cfg::kAvisoMbrola, "S");
  return L1(MissingMbrolaMessage());
}
int SpeechSpeed() { return Speech().speed; }
std::string AppSoundsFolder() { return Speech().app_folder; }
std::string SystemSoundsFolder() { return Speech().system_folder; }
std::string LettersFolder() { return Speech().letters_folder; }

}  // namespace kal
