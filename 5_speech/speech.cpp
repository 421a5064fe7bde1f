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
#include "3_audio/wave_player_state.h"
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

SpeechState::SpeechState(Voices& voices_used, Platform& run_platform)
    : voices(&voices_used),
      player(voices_used.player),
      config(*voices_used.player.config),
      platform(run_platform),
      loop(run_platform.loop) {}

SpeechEngine& Engine(SpeechState& s) {
  if (!s.engine) s.engine = MakeNoSpeechEngine();
  return *s.engine;
}

SpeechLog& SpeechLogOf(SpeechState& s) { return *s.player.speech_log; }

WordVoice& Words(SpeechState& s) {
  if (!s.words) s.words = MakeDiphoneWordVoice(*s.voices);
  return *s.words;
}

void SetSpeechEngine(SpeechState& s, std::unique_ptr<SpeechEngine> engine) { s.engine = std::move(engine); }
void SetWordVoice(SpeechState& s, std::unique_ptr<WordVoice> voice) { s.words = std::move(voice); }

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

namespace {

// How the word voice's full buffers play: as any wave image, and the voice
// goes on only when it has ended (a key cuts it short and stops speech).
void PlayWordVoiceBuffer(SpeechState& s, std::string_view image) {
  PlayWaveBuffer(s, image);
  while (SpeechBusy(s)) Delay(s.platform, 10);
}

}  // namespace

void EnsureSpeechModule(SpeechState& s) {
  if (s.module_ready) return;
  s.module_ready = true;
  SetDiphonePlayer(*s.voices, [&s](std::string_view image) { PlayWordVoiceBuffer(s, image); });
  s.echo = ConfigYes(ReadConfigDefault(s.config, cfg::kFalando));
  s.echo_option = ConfigYes(ReadConfigDefault(s.config, cfg::kEcoarOpcao));
  s.full_announce = ConfigYes(ReadConfigDefault(s.config, cfg::kFalarTudo));
  s.divisor = ConfigYes(ReadConfigDefault(s.config, cfg::kBipsClecsCurtos)) ? 2 : 1;
  LoadLegacyFlag(s.config);
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
void LoadVoiceSettings(SpeechState& s, int speed) {
  std::string n = std::to_string(speed);
  auto key = [&](const cfg::ConfigKey& stem) { return std::string(stem.name) + n; };
  auto read = [&](const cfg::ConfigKey& stem) { return ReadConfig(s.config, stem.section, key(stem)); };
  auto number = [&](const cfg::ConfigKey& stem) {
    return ReadConfigInt(s.config, stem.section, key(stem), stem.number);
  };
  s.voice_database = read(cfg::kDifones).substr(0, 8);
  Words(s).SetTuning(number(cfg::kCorteFon), number(cfg::kSobraFon), number(cfg::kInterPal));
  WaveFlags f = GetWaveFlags(s.player);
  f.cut = ConfigNotN(read(cfg::kCortaFala));
  f.fast = ConfigNotN(read(cfg::kRapidinho));
  SetWaveFlags(s.player, f);
  s.pause_full = number(cfg::kPausaPonto);
  s.pause_comma = number(cfg::kPausaVirg);
  s.pause_colon = number(cfg::kPausaDoisPontos);
}

void StartEngine(SpeechState& s) {
  s.engine_active = false;
  if (!ConfigNotN(ReadConfig(s.config, cfg::kSapi))) return;
  int voice = ReadConfigInt(s.config, cfg::kVoz);
  int rate = ReadConfigInt(s.config, cfg::kServVelocidade);
  int pitch = ReadConfigInt(s.config, cfg::kTom);
  int kind = ReadConfigInt(s.config, cfg::kTipoSapi);
  if (kind != 4 && rate > 10) rate = 0;
  s.engine_active = Engine(s).Start(voice, rate, pitch, "", kind);
  s.engine_kind = kind;
}

// When the recorded voice cannot start, the report must still be heard: the
// configured engine speaks it, or else the local engine (kind 4), which
// needs no data of ours; only when neither starts is it written alone.
void StartFallbackVoice(SpeechState& s) {
  StartEngine(s);
  if (s.engine_active) return;
  s.engine_kind = kFallbackEngineKind;
  s.engine_active = Engine(s).Start(0, 0, 0, "", kFallbackEngineKind);
}

void SpeakTextNow(SpeechState& s, std::string_view text);

// A voice can speak now: what was held while it started is said.
void SayHeld(SpeechState& s) {
  s.voice_starting = false;
  std::vector<std::string> held = std::move(s.held);
  s.held.clear();
  for (const std::string& text : held) SpeakTextNow(s, text);
}

// The start-up report: every line written (through the console's notice
// writer), then every line spoken. A notice that the speaking brings about
// (no sound device) then comes after the report, not inside it.
void Report(SpeechState& s, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) WriteNoticeLine(s.platform, line);
  for (const std::string& line : lines) SpeakText(s, line);
}

// The recorded voice's data is not installed (or not where the configuration
// says): every line of the report is written and spoken, the missing folder
// or file is named, and the wait for Enter is announced before it begins.
// Returns false when the voice did not start (the stop is requested).
bool StartWordVoice(SpeechState& s) {
  int code = Words(s).Start();
  if (code == 0) return true;
  std::string missing = Words(s).MissingData();
  Words(s).Close();
  StartFallbackVoice(s);
  SayHeld(s);
  std::vector<std::string> report = {
      L1(speech_msg::kInitError),
      L1(speech_msg::kVoiceDatabase) + (s.voice_database.empty() ? kDiphoneDatabaseName : s.voice_database)};
  if (!missing.empty()) report.push_back(L1(speech_msg::kNotFound) + ScriptPath(missing));
  report.push_back(std::string(speech_msg::kPressEnter));
  Report(s, report);
  while (ReadKey(s.platform) != kKeyEnter && !StopRequested(s.platform)) {
  }
  StopSpeech(s);
  if (s.engine_active) Engine(s).Release();
  s.engine_active = false;
  // The run cannot go on without its voice: the end goes back to main. The
  // input ending during the wait for Enter gives way to this reason, which
  // tells more; the break key and signals stay as they are.
  if (RequestedStop(s.platform).reason == EndReason::kInputEnded) ClearStopRequest(s.platform);
  RequestStop(s.platform, EndOf(EndReason::kNoVoice));
  return false;
}

}  // namespace

void InitSpeech(SpeechState& s, int speed, std::string_view sounds_folder) {
  s.voice_starting = true;
  EnsureSpeechModule(s);
  LoadLegacyFlag(s.config);
  if (speed <= 0) speed = ReadConfigInt(s.config, cfg::kVelocidade);
  if (speed < 1 || speed > 5) speed = 3;
  s.speed = speed;
  LoadVoiceSettings(s, speed);
  if (!StartWordVoice(s)) return;
  s.app_folder = WithBackslash(std::string(sounds_folder));
  s.system_folder = WithBackslash(ReadConfigDefault(s.config, cfg::kDirLetras));
  // The letter files are where the word voice finds them; the system sounds
  // folder stands in when that key is not set.
  std::string letters = ReadConfigDirect(s.config, cfg::kDirLetrasDirect);
  s.letters_folder = letters.empty() ? s.system_folder : WithBackslash(letters);
  LoadVoiceSettings(s, speed);
  StartEngine(s);
  SayHeld(s);
}

void DoneSpeech(SpeechState& s) {
  WaitWhileSpeaking(s);
  StopSpeech(s);
  if (s.engine_active) Engine(s).Release();
  s.engine_active = false;
  Words(s).Close();
}

void SpeakChar(SpeechState& s, uint8_t c) {
  SpeechLogScope log(SpeechLogOf(s), "char", std::to_string(c));
  WaitSpeech(s);
  if (c < 32 && c != 0 && c != 12) return;
  std::string path = s.letters_folder + "_" + std::to_string(c) + ".wav";
  if (!SoundFileExists(path)) path = s.letters_folder + "_unknown.wav";
  PlayWaveFile(s.player, path);
}

void SpellText(SpeechState& s, std::string_view text) {
  SpeechLogScope log(SpeechLogOf(s), "spell", text);
  for (char ch : text) {
    if (KeyPressed(s.platform)) break;
    if (ch == '\t') PlayNamedSound(s, "_FON9");
    else SpeakChar(s, static_cast<uint8_t>(ch));
  }
}

namespace {
std::string NamedSoundPath(const SpeechState& s, std::string_view name) {
  return (!name.empty() && name[0] == '_' ? s.system_folder : s.app_folder) + std::string(name) + ".wav";
}
}  // namespace

void PlayNamedSound(SpeechState& s, std::string_view name) {
  SpeechLogScope log(SpeechLogOf(s), "play", name);
  WaitSpeech(s);
  PlayWaveFile(s.player, NamedSoundPath(s, name));
}

bool SoundExists(SpeechState& s, std::string_view name) { return SoundFileExists(NamedSoundPath(s, name)); }

void PlayWaveBuffer(SpeechState& s, std::string_view image) {
  SpeechLogScope log(SpeechLogOf(s), "wave", "memory " + std::to_string(image.size()), true);
  WaitSpeech(s);
  if (PlayWaveMemory(s.player, image) == 0) WaitWave(s.player);
}

uint8_t ReadKeySpoken(SpeechState& s) {
  uint8_t k = ReadKey(s.platform);
  if (StopRequested(s.platform)) return k;  // no key came: nothing to name
  StopSpeech(s);
  SpeakChar(s, k);
  return k;
}

bool SpeechBusy(SpeechState& s) {
  if (KeyPressed(s.platform)) {
    StopSpeech(s);
    return false;
  }
  bool wave = WaveBusy(s.player);
  return wave || (s.engine_active && Engine(s).Busy(0));
}

void WaitWhileSpeaking(SpeechState& s) {
  while (SpeechBusy(s)) s.loop.Wait(10);
}

void WaitSpeech(SpeechState& s) {
  if (!s.speaking) return;
  WaitWhileSpeaking(s);
  s.speaking = false;
}

void StopSpeech(SpeechState& s) {
  LogSpeechDetail(SpeechLogOf(s), "stop");
  WaveStop(s.player);
  s.stop = true;
  if (s.engine_active && (s.engine_kind == 3 || Engine(s).Busy(0))) Engine(s).Stop();
  s.loop.Post([] {});
}

void SpeechPause(SpeechState& s, int ms) {
  for (int i = 0; i < ms / 50; ++i)
    if (!KeyPressed(s.platform)) Delay(s.platform, 50);
}

void SpeakText(SpeechState& s, std::string_view text) {
  SpeechLogScope log(SpeechLogOf(s), "say", text);
  EnsureSpeechModule(s);
  if (s.voice_starting) {
    s.held.emplace_back(text);
    return;
  }
  SpeakTextNow(s, text);
}

namespace {

void SpeakTextNow(SpeechState& s, std::string_view text) {
  if (!s.engine_active) {
    SpeakRecorded(s, text);
    return;
  }
  WaitWhileSpeaking(s);
  if (KeyPressed(s.platform)) return;
  Engine(s).Speak(text);
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

bool SpeechEchoOn(SpeechState& s) {
  EnsureSpeechModule(s);
  return s.echo;
}
void SetSpeechEcho(SpeechState& s, bool on) {
  EnsureSpeechModule(s);
  s.echo = on;
}
bool OptionEchoOn(SpeechState& s) {
  EnsureSpeechModule(s);
  return s.echo_option;
}
bool FullAnnouncements(SpeechState& s) {
  EnsureSpeechModule(s);
  return s.full_announce;
}
bool EngineActive(SpeechState& s) { return s.engine_active; }
std::string VoiceStartProblem(SpeechState& s) {
  if (s.engine_active || s.engine_kind != kEngineOrvan || !ConfigNotN(ReadConfig(s.config, cfg::kSapi))) return "";
  return OrvanLastError(*s.voices->orvan);
}
std::string MissingMbrolaNoticeOnce(SpeechState& s) {
  if (MbrolaWhereToGet().empty() || ReadConfigInt(s.config, cfg::kTipoSapi) != kEngineOrvan) return "";
  if (ReadConfigDirect(s.config, cfg::kAvisoMbrola) == "S" || MbrolaInstalled(s.platform)) return "";
  WriteConfig(s.config, cfg::kAvisoMbrola, "S");
  return L1(MissingMbrolaMessage());
}
int SpeechSpeed(SpeechState& s) { return s.speed; }
std::string AppSoundsFolder(SpeechState& s) { return s.app_folder; }
std::string SystemSoundsFolder(SpeechState& s) { return s.system_folder; }
std::string LettersFolder(SpeechState& s) { return s.letters_folder; }

}  // namespace kal
