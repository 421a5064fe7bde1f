// Multimedia command strings over the wave player. Devices are names for
// wave files; one of them at a time is the one playing, since there is one
// wave player.
#include "8_interpreter/mci.h"

#include <map>
#include <vector>

#include "5_speech/speech.h"
#include "3_audio/wave_player.h"

namespace kal {
namespace {

// Splits into words; a stretch in double quotes is one word.
std::vector<std::string> Words(std::string_view s) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    if (i >= s.size()) break;
    std::string w;
    if (s[i] == '"') {
      size_t close = s.find('"', i + 1);
      w = std::string(s.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
      i = close == std::string_view::npos ? s.size() : close + 1;
    } else {
      while (i < s.size() && s[i] != ' ') w.push_back(s[i++]);
    }
    words.push_back(std::move(w));
  }
  return words;
}

bool IsPlaying(WavePlayer& player, MciDevices& s, const std::string& alias) {
  if (s.playing.empty() || s.playing != alias) return false;
  if (WaveBusy(player)) return true;
  s.playing.clear();
  return false;
}

void Stop(WavePlayer& player, MciDevices& s, const std::string& alias) {
  if (IsPlaying(player, s, alias)) WaveStop(player);
  if (s.playing == alias) s.playing.clear();
}

std::string Open(MciDevices& s, const std::vector<std::string>& w) {
  if (w.size() < 2) return "";
  std::string alias = w[1];
  for (size_t i = 2; i + 1 < w.size(); ++i)
    if (UpperCaseText(w[i]) == "ALIAS") alias = w[i + 1];
  s.devices[UpperCaseText(alias)] = w[1];
  return "";
}

// play NAME-OR-FILE [wait|notify]: a name that is not an open device is a
// file, opened on the way under its own name (blanks in it allowed).
std::string Play(WavePlayer& player, MciDevices& s, std::string_view rest) {
  std::string target(rest);
  while (!target.empty() && target.back() == ' ') target.pop_back();
  bool wait = false;
  size_t last = target.rfind(' ');
  if (last != std::string::npos) {
    std::string word = UpperCaseText(target.substr(last + 1));
    if (word == "WAIT" || word == "NOTIFY") {
      wait = word == "WAIT";
      target.resize(last);
      while (!target.empty() && target.back() == ' ') target.pop_back();
    }
  }
  if (target.size() >= 2 && target.front() == '"' && target.back() == '"') target = target.substr(1, target.size() - 2);
  if (target.empty()) return "";
  std::string key = UpperCaseText(target);
  auto it = s.devices.find(key);
  if (it == s.devices.end()) it = s.devices.emplace(key, target).first;
  if (!s.playing.empty()) Stop(player, s, s.playing);
  if (PlayWaveFile(player, it->second, true) != 0) return "";
  s.playing = key;
  while (wait && IsPlaying(player, s, key)) WaitWave(player);
  return "";
}

// Forgets every open device and stops what plays.
void CloseAll(WavePlayer& player, MciDevices& s) {
  if (!s.playing.empty()) WaveStop(player);
  s = MciDevices();
}

}  // namespace

std::string SendMciString(WavePlayer& player, MciDevices& s, std::string_view command) {
  std::vector<std::string> w = Words(command);
  if (w.empty()) return "";
  std::string verb = UpperCaseText(w[0]);
  std::string target = w.size() > 1 ? UpperCaseText(w[1]) : "";
  if (verb == "OPEN") return Open(s, w);
  if (verb == "PLAY") {
    size_t at = command.find_first_not_of(' ', command.find_first_of(' ', command.find_first_not_of(' ')));
    return at == std::string_view::npos ? "" : Play(player, s, command.substr(at));
  }
  if (verb == "STATUS" && w.size() >= 3 && UpperCaseText(w[2]) == "MODE") {
    return s.devices.count(target) ? (IsPlaying(player, s, target) ? "playing" : "stopped") : "";
  }
  if (verb == "STOP") {
    Stop(player, s, target);
    return "";
  }
  if (verb == "CLOSE") {
    if (target == "ALL") {
      CloseAll(player, s);
    } else {
      Stop(player, s, target);
      s.devices.erase(target);
    }
    return "";
  }
  return "";
}

}  // namespace kal
