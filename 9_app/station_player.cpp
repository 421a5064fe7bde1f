#include "9_app/station_player.h"

#include <cctype>
#include <cmath>

#include "0_base/json_reader.h"
#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/host.h"
#include "1_platform/paths.h"
#include "1_platform/process.h"
#include "1_platform/programs.h"
#include "1_platform/pump.h"
#include "1_platform/stop_request.h"
#include "2_config/config_keys.h"
#include "2_config/config.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "9_app/app_messages.h"

namespace kal {

namespace {

constexpr const char* kPlayerProgram = "mpv";
constexpr const char* kChannelName = "controle";
constexpr const char* kLogName = "/registro";
// The player's log is read only when it ended before it could tell why over
// the socket, which happens in its first moments: a longer log is not read.
constexpr size_t kMaxLogRead = 1 << 20;
// How long the player may take to open its control socket.
constexpr int kConnectLimitMs = 10000;
// How long it is given to end when asked, and then when told.
constexpr int kQuitWaitMs = 1000;
constexpr int kWaitStepMs = 20;
// A message line longer than this is not one the player sends: dropped.
constexpr size_t kMaxMessage = 1 << 16;
// Request ids of the questions whose answers are said or acted on.
constexpr int kAskPause = 1;
constexpr int kAskVolume = 2;
constexpr int kAskDevices = 3;
constexpr int kWatchIdle = 4;  // "core-idle": false once the sound plays

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

// The player's audio output on the route the program's own sound takes: the
// same audio system SDL is told to use, and no sound at all when SDL plays
// into a file or nowhere (tests). Without a choice the player picks as SDL
// does, the desktop's sound server first.
std::string AudioOutputOption() {
  std::string driver = GetEnvironment("SDL_AUDIODRIVER");
  for (char& c : driver) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (driver == "dummy" || driver == "disk") return "--ao=null";
  if (driver == "pulseaudio" || driver == "pulse") return "--ao=pulse";
  if (driver == "alsa" || driver == "pipewire" || driver == "jack") return "--ao=" + driver;
  return "";
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The output device named in SAIDADEAUDIO, among those the player lists:
// the first whose name or description holds it (letter case ignored).
std::string ChooseDevice(const JsonValue& list, const std::string& wanted) {
  if (wanted.empty()) return "";
  std::string want = Lower(Latin1ToUtf8(wanted));
  for (const JsonValue& d : list.items) {
    if (Lower(d.MemberText("description")).find(want) != std::string::npos ||
        Lower(d.MemberText("name")).find(want) != std::string::npos)
      return d.MemberText("name");
  }
  return "";
}

void Say(SpeechState& speech, std::string_view utf8) { SpeakText(speech, L1(utf8)); }

}  // namespace

std::string PlayerMissingMessage(const std::string& helper_folder) {
  std::string said(app_msg::kPlayerMissing);
  if (helper_folder.empty()) return said + std::string(app_msg::kPlayerFromPackages);
  return said + std::string(app_msg::kPlayerWhereToGet) + helper_folder + ".";
}

std::vector<std::string> PlayerArguments(const std::string& folder, const std::string& address) {
  std::vector<std::string> args = {
      "--no-config",           // nobody's settings, scripts or key bindings
      "--no-terminal",         // no terminal output or input of its own
      "--vid=no",              // sound only
      "--force-window=no",
      "--idle=no",             // it ends when the stream does
      "--ytdl=no",             // no helper program is run on the address
      "--load-scripts=no",
      "--input-default-bindings=no",
      "--network-timeout=20",
      "--input-ipc-server=" + ControlChannelAddress(folder, kChannelName),
      "--log-file=" + folder + kLogName,
  };
  std::string ao = AudioOutputOption();
  if (!ao.empty()) args.push_back(ao);
  args.push_back("--");
  args.push_back(address);
  return args;
}

std::string PlayerErrorMessage(const std::string& file_error) {
  std::string e = Lower(file_error);
  if (e.find("loading failed") != std::string::npos) return std::string(app_msg::kStreamNotOpened);
  if (e.find("unrecognized") != std::string::npos) return std::string(app_msg::kStreamUnknownFormat);
  if (e.find("no audio") != std::string::npos) return std::string(app_msg::kStreamNoSound);
  if (e.find("audio output") != std::string::npos) return std::string(app_msg::kSoundDeviceFailed);
  return std::string(app_msg::kStreamFailed);
}

std::string PlayerLogError(const std::string& log) {
  const std::string marker = "finished playback, ";
  size_t at = log.rfind(marker);
  if (at == std::string::npos) return "";
  at += marker.size();
  size_t end = log.find_first_of("(\n", at);
  std::string what = log.substr(at, end == std::string::npos ? std::string::npos : end - at);
  while (!what.empty() && what.back() == ' ') what.pop_back();
  return what;
}

bool StationPlayer::Play(const std::string& address, const std::string& name) {
  Stop(false);
  if (FindInPath(speech_.platform, kPlayerProgram).empty()) {
    Say(speech_, PlayerMissingMessage(HelperProgramFolder()));
    return false;
  }
  // Said before the player starts: saying it can take a while, during which
  // nobody would read the player's news (a playlist that names itself would
  // be fetched over and over unseen).
  SpeakText(speech_, L1(app_msg::kConnecting) + name);
  folder_ = MakePrivateFolder("kaldorin-radio-");
  StartRequest req;
  req.program = kPlayerProgram;
  req.args = PlayerArguments(folder_, address);
  req.streams = ChildStreams::kDetached;
  req.end_with_us = true;
  std::string err;
  pid_ = folder_.empty() ? 0 : StartProgram(speech_.platform, req, &err);
  if (pid_ <= 0) {
    pid_ = 0;
    Finish();
    Say(speech_, app_msg::kPlayerNoStart);
    return false;
  }
  name_ = name;
  started_ms_ = loop_.NowMs();
  sound_started_ = outcome_said_ = lost_in_playlists_ = false;
  playlists_ = PlaylistBounds();
  return true;
}

void StationPlayer::Send(const std::string& json) {
  if (channel_) channel_->Send(json + "\n");
}

// The socket appears a moment after the player starts; until then each
// service tries again, and gives up after kConnectLimitMs.
void StationPlayer::TryConnect() {
  channel_ = ConnectControlChannel(ControlChannelAddress(folder_, kChannelName));
  if (!channel_) {
    if (loop_.NowMs() - started_ms_ > kConnectLimitMs) {
      Say(speech_, app_msg::kPlayerNoAnswer);
      outcome_said_ = true;
      EndNow();
    }
    return;
  }
  // The sound may have started before the socket was there: the state is
  // watched instead of waiting for the news of the start, since watching a
  // property sends its value at once.
  Send("{\"command\":[\"observe_property\"," + std::to_string(kWatchIdle) + ",\"core-idle\"]}");
  std::string device = ReadConfigDirect(speech_.config, cfg::kSaidaDeAudio);
  if (!device.empty())
    Send("{\"command\":[\"get_property\",\"audio-device-list\"],\"request_id\":" + std::to_string(kAskDevices) + "}");
}

void StationPlayer::HandleMessage(const std::string& line) {
  JsonValue m;
  if (!ParseJson(line, &m) || m.kind != JsonValue::kObject) return;
  if (!playlists_.Note(m)) lost_in_playlists_ = true;
  std::string event = m.MemberText("event");
  const JsonValue* idle = m.Member("data");
  bool playing = event == "playback-restart" ||
                 (event == "property-change" && m.MemberText("name") == "core-idle" && idle != nullptr &&
                  idle->kind == JsonValue::kBool && !idle->boolean);
  if (playing && !sound_started_) {
    sound_started_ = true;
    SpeakText(speech_, L1(app_msg::kPlaying) + name_);
  } else if (event == "end-file") {
    std::string reason = m.MemberText("reason");
    if (reason == "error") {
      Say(speech_, PlayerErrorMessage(m.MemberText("file_error")));
      outcome_said_ = true;
    } else if (reason == "eof") {
      Say(speech_, app_msg::kStreamEnded);
      outcome_said_ = true;
    }
  }
  const JsonValue* id = m.Member("request_id");
  const JsonValue* data = m.Member("data");
  if (id == nullptr || data == nullptr || m.MemberText("error") != "success") return;
  if (id->number == kAskPause && data->kind == JsonValue::kBool) {
    Say(speech_, data->boolean ? app_msg::kPaused : app_msg::kResumed);
  } else if (id->number == kAskVolume && data->kind == JsonValue::kNumber) {
    SpeakText(speech_, L1(app_msg::kVolume) + std::to_string(static_cast<long>(std::lround(data->number))));
  } else if (id->number == kAskDevices && data->kind == JsonValue::kArray) {
    std::string name = ChooseDevice(*data, ReadConfigDirect(speech_.config, cfg::kSaidaDeAudio));
    if (!name.empty()) Send("{\"command\":[\"set_property\",\"audio-device\"," + Quoted(name) + "]}");
  }
}

void StationPlayer::ReadMessages() {
  char buf[4096];
  while (!lost_in_playlists_) {
    long n = channel_ ? channel_->ReceiveNoWait(buf, sizeof buf) : 0;
    if (n <= 0) break;  // nothing more now, or the player closed it
    received_.append(buf, static_cast<size_t>(n));
    size_t eol;
    while (!lost_in_playlists_ && (eol = received_.find('\n')) != std::string::npos) {
      std::string line = received_.substr(0, eol);
      received_.erase(0, eol + 1);
      HandleMessage(line);
    }
    if (received_.size() > kMaxMessage) received_.clear();
  }
}

void StationPlayer::Service() {
  if (pid_ <= 0) return;
  if (!channel_) TryConnect();
  if (channel_) ReadMessages();
  if (lost_in_playlists_) {
    GiveUp();
    return;
  }
  if (pid_ > 0 && !ProgramRunning(speech_.platform, pid_)) {
    if (channel_) ReadMessages();  // its last words
    if (!outcome_said_) SayWhyItEnded();
    pid_ = 0;
    Finish();
  }
}

// A player that ended before its news reached us (a stream that cannot be
// opened fails before the socket is there): its log says why, in the words
// its news would have used.
void StationPlayer::SayWhyItEnded() {
  std::string log;
  std::string why = ReadHostFile(folder_ + kLogName, &log, kMaxLogRead) ? PlayerLogError(log) : "";
  if (why.empty() || why == "success") {
    Say(speech_, sound_started_ ? app_msg::kStreamEnded : app_msg::kPlayerEnded);
  } else {
    Say(speech_, PlayerErrorMessage(why));
  }
}

bool StationPlayer::TogglePause() {
  if (!channel_) return false;
  Send("{\"command\":[\"cycle\",\"pause\"]}");
  Send("{\"command\":[\"get_property\",\"pause\"],\"request_id\":" + std::to_string(kAskPause) + "}");
  return true;
}

bool StationPlayer::ChangeVolume(int step) {
  if (!channel_) return false;
  Send("{\"command\":[\"add\",\"volume\"," + std::to_string(step) + "]}");
  Send("{\"command\":[\"get_property\",\"volume\"],\"request_id\":" + std::to_string(kAskVolume) + "}");
  return true;
}

// Waits through the pump until the player has ended; false when it has not
// within ms (or the program is being stopped, when no wait may last).
bool StationPlayer::WaitGone(int ms) {
  for (int waited = 0; ProgramRunning(speech_.platform, pid_); waited += kWaitStepMs) {
    if (waited >= ms || StopRequested(speech_.platform)) return !ProgramRunning(speech_.platform, pid_);
    Delay(speech_.platform, kWaitStepMs);
  }
  return true;
}

// Ends the player by signal, by force when asking is not enough, and waits
// for it to be gone.
void StationPlayer::Terminate() {
  EndProgram(speech_.platform, pid_, false);
  if (!WaitGone(kQuitWaitMs)) {
    EndProgram(speech_.platform, pid_, true);
    WaitGone(kQuitWaitMs);
  }
}

void StationPlayer::Stop(bool announce) {
  if (pid_ <= 0) return;
  Send("{\"command\":[\"quit\"]}");
  if (!WaitGone(kQuitWaitMs)) Terminate();
  pid_ = 0;
  Finish();
  if (announce) Say(speech_, app_msg::kStopped);
}

// A player busy fetching playlists takes its time to read a request to
// quit (each fetch goes first): it is ended by signal at once.
void StationPlayer::GiveUp() {
  Terminate();
  pid_ = 0;
  Finish();
  Say(speech_, app_msg::kStreamNotOpened);
}

void StationPlayer::EndNow() {
  if (pid_ > 0) EndProgram(speech_.platform, pid_, true);
  pid_ = 0;
  Finish();
}

void StationPlayer::Finish() {
  channel_.reset();
  received_.clear();
  RemovePrivateFolder(folder_);
  folder_.clear();
}

}  // namespace kal
