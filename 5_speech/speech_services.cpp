// Small spoken services of the facade: telephone tones, the battery, and
// opening a link, a document or a program.
#include <string>

#include "1_platform/pump.h"
#include "2_config/sound_paths.h"
#include "5_speech/speech.h"
#include "2_config/config.h"
#include "0_base/speech_log.h"
#include "5_speech/speech_state.h"
#include "3_audio/wave_player.h"
#include "1_platform/launch.h"
#include "1_platform/paths.h"
#include "1_platform/power.h"

namespace kal {

void DialDigits(SpeechState& s, std::string_view text) {
  SpeechLogScope log(SpeechLogOf(s), "dial", text);
  WaveFlags saved = GetWaveFlags(s.player);
  WaveFlags plain = saved;
  plain.fast = false;
  SetWaveFlags(s.player, plain);
  for (char ch : UpperCaseText(text)) {
    if (ch == '#' || ch == '*' || (ch >= '0' && ch <= '9')) {
      std::string key(1, ch == '*' ? 'X' : ch);
      if (PlayWaveFile(s.player, LettersFolder(s) + "dtmf_" + key + ".wav") == 0) WaitWave(s.player);
      Delay(s.platform, 100);
    } else if (ch == ',') {
      Delay(s.platform, 1000);
    }
  }
  SetWaveFlags(s.player, saved);
}

void SpeakBatteryStatus(SpeechState& s) {
  SpeechLogScope log(SpeechLogOf(s), "battery");
  PowerStatus p = ReadPowerStatus(s.platform);
  if (!p.has_battery) PlayNamedSound(s, "_SEMBAT");
  else if (p.percent >= 0) SpeakText(s, std::to_string(p.percent) + "%");
  if (p.on_mains == 0) PlayNamedSound(s, "_SEMENER");
}

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && UpperCaseText(text.substr(0, prefix.size())) == UpperCaseText(prefix);
}

// A name as the program writes it: a drive letter or a backslash makes it
// a path to map onto this host; anything else (a URL, a bare name) stays.
std::string HostArgument(const std::string& text) {
  bool drive = text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
  bool looks_like_path = (drive || text.find('\\') != std::string::npos) && text.find("://") == std::string::npos;
  return looks_like_path ? SoundHostPath(text) : text;
}

// A configured program may be written as a Windows program name: the host
// has it under the same name without ".exe" when the path itself is not here.
std::string HostProgram(const std::string& program) {
  std::string host = HostArgument(program);
  if (HostExists(host)) return host;
  std::string base = program.substr(program.find_last_of("\\/:") == std::string::npos ? 0 : program.find_last_of("\\/:") + 1);
  if (base.size() > 4 && UpperCaseText(base.substr(base.size() - 4)) == ".EXE") base.resize(base.size() - 4);
  return base;
}

void Launch(Platform& platform, const std::string& program, const std::vector<std::string>& args) {
  std::string err;
  LaunchDetached(platform, program, args, &err);
}

// The current folder as the program writes paths (backslash at the end).
std::string CurrentFolderText() {
  std::string cwd = CurrentFolder();
  if (cwd.empty() || cwd.back() != '\\') cwd += '\\';
  return cwd;
}

void OpenLinkNow(Platform& platform, ConfigState& config, const std::string& text) {
  if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://") || StartsWithNoCase(text, "www.")) {
    std::string prog = ReadConfig(config, cfg::kProgHtm);
    if (prog.empty()) Launch(platform, "xdg-open", {text});
    else Launch(platform, HostProgram(prog), {text});
    return;
  }
  size_t dot = text.find('.');
  std::string ext = dot == std::string::npos ? "" : UpperCaseText(text.substr(dot + 1, 3));
  if (ext != "EXE" && ext != "COM") {
    std::string prog = ReadConfig(config, cfg::kProgPrefix.section, std::string(cfg::kProgPrefix.name) + ext);
    if (prog.empty()) Launch(platform, "xdg-open", {HostArgument(text)});
    else Launch(platform, HostProgram(prog), {HostArgument(text)});
    return;
  }
  bool absolute = (text.size() >= 2 && text[1] == ':') || (!text.empty() && text[0] == '\\');
  std::string path = absolute ? text : CurrentFolderText() + text;
  Launch(platform, HostProgram(path), {});
}

}  // namespace

void OpenLink(SpeechState& s, std::string_view text) {
  SpeechLogScope log(SpeechLogOf(s), "open", text);
  std::string t(text.substr(0, 255));
  WaitWhileSpeaking(s);
  OpenLinkNow(s.platform, s.config, t);
  WaitWhileSpeaking(s);
}

}  // namespace kal
