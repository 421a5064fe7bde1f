// Listening to a station from the viewer. The sound comes from a media
// player program (mpv, installed by the set-up) started as a child that the
// viewer drives: no video, no terminal of its own, its standard streams on
// the null device, and a JSON control channel (1_platform/control_channel.h:
// a socket in a private folder, a named pipe on Windows) through which it
// is paused, its volume changed and its news read (sound started,
// errors, the end of the stream). The address is handed over as one
// argument after "--", so that it can never be taken for an option, and
// only http and https addresses are accepted (IsPlayableAddress).
//
// The player never outlives us: Stop ends it (asking first, then by force)
// and waits through the pump until it is gone; leaving the viewer stops it;
// a stop of the program (a signal) ends it in the exit clean-ups; and the
// system ends it when we die without any clean-up (StartRequest::end_with_us).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "1_platform/control_channel.h"

#include "9_app/playlist_bounds.h"

namespace kal {

class EventLoop;
struct SpeechState;

class StationPlayer {
 public:
  // The player's connection is timed on loop's clock; what it says is said
  // with speech. Both must outlive it.
  StationPlayer(EventLoop& loop, SpeechState& speech) : loop_(loop), speech_(speech) {}
  StationPlayer(const StationPlayer&) = delete;
  StationPlayer& operator=(const StationPlayer&) = delete;
  ~StationPlayer() { EndNow(); }

  // Starts playing address (a playable one) and says "Conectando" with the
  // station's name; "Tocando" and the name follow when the sound starts. A
  // station already playing stops first. False, after saying why, when the
  // player could not be started.
  bool Play(const std::string& address, const std::string& name);
  // While a player runs (also before its sound has started).
  bool Active() const { return pid_ > 0; }
  int pid() const { return pid_; }

  // Pause and go on; the new state is said once the player has taken it.
  // False when there is no player to ask (the caller beeps).
  bool TogglePause();
  // Volume up (step > 0) or down; the new volume is said.
  bool ChangeVolume(int step);
  // Ends the player and waits for it; says "Parado" when announce is set.
  void Stop(bool announce);
  // Reads what the player sent since the last call and says what the user
  // must hear: the sound started, paused or going on, the volume, the
  // errors in Portuguese. Notices a player that ended or never answered,
  // and stops one that went too deep into playlists (the station could not
  // be opened).
  // The viewer calls it between keys.
  void Service();
  // Ends the player at once without waiting or speaking (exit clean-up).
  void EndNow();

  EventLoop& loop() { return loop_; }

 private:
  void TryConnect();
  void ReadMessages();
  void HandleMessage(const std::string& line);
  void Send(const std::string& json);
  void SayWhyItEnded();
  void Finish();
  void Terminate();
  void GiveUp();
  bool WaitGone(int ms);

  int pid_ = 0;
  std::unique_ptr<ControlChannel> channel_;  // to the player, once it listens
  std::string folder_;  // the player's private folder (its log, the control socket)
  std::string name_;
  std::string received_;  // an unfinished line from the socket
  EventLoop& loop_;
  SpeechState& speech_;
  int64_t started_ms_ = 0;
  bool sound_started_ = false;
  bool outcome_said_ = false;  // an error or the end of the stream was said
  PlaylistBounds playlists_;    // how far the playlists of this station went
  bool lost_in_playlists_ = false;
};

// The command line the player is started with, after its program name:
// options, then "--" and the address. folder is the private folder that
// gets the control socket and the player's log.
std::vector<std::string> PlayerArguments(const std::string& folder, const std::string& address);

// Why the player's log says the last stream ended ("loading failed"), in
// the words of its news; "" when the log does not say.
std::string PlayerLogError(const std::string& log);

// What an error of the player (its "file_error" text) means for the user.
std::string PlayerErrorMessage(const std::string& file_error);

// What is said when the player is not installed, with where to get it and
// where to put it (HelperProgramFolder, programs.h), or the package to
// install when helper_folder is "".
std::string PlayerMissingMessage(const std::string& helper_folder);

}  // namespace kal
