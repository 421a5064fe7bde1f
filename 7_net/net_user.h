// The network layer: TCP connections, the one TLS session, the line reader
// and the HTTP client of the download command. It sits above configuration
// and below the interpreter, and never reaches the console or the speech
// facade itself: everything it has to say to the person at the keyboard, and
// every key it needs from them, goes through NetUser, an interface of its
// own that the layer above implements and sets on the network it is given
// (the interpreter does so with the console and speech).
//
// What goes through it: input taken while a network wait runs (so keys keep
// reaching the queue), the keys typed during a download (the layer above
// reads and answers them; the download only learns whether to stop and
// whether to click), its spoken messages, the certificate refusal and the
// TLS error line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kal {

// Where a running download stands, for the spoken progress report.
struct DownloadProgress {
  bool unknown_length = false;  // the server announced no length
  int64_t written = 0;          // bytes in the file now
  int64_t announced = 0;        // the length the server announced for this request
  int64_t resumed = 0;          // bytes the file had when the request resumed it
  std::string file;             // the file's name as the script gave it
};

class NetUser {
 public:
  virtual ~NetUser() = default;

  // Takes pending input (keys into the queue, posted tasks) without
  // sleeping. Every network wait calls it between its slices.
  virtual void TakeInput() = 0;
  // Sleeps ms while input keeps coming in.
  virtual void Pause(int ms) = 0;

  // Between the blocks of a download: the keys typed meanwhile are the
  // user's to take and answer (a spoken report of the progress, ticks
  // turned on or off, the question whether to stop). progress() tells where
  // the download stands when a report is wanted; *ticks is whether a click
  // marks each block, and the user may turn it over. Returns true when the
  // person asked to stop the download.
  virtual bool TakeDownloadKeys(const std::function<DownloadProgress()>& progress, bool* ticks) = 0;

  // A message line, written and spoken.
  virtual void Tell(const std::string& line) = 0;
  // A line written without being spoken.
  virtual void Note(const std::string& line) = 0;
  // One click: a block came while ticks are on.
  virtual void Click() = 0;
};

struct Network;

// Sets the user the network talks to; nullptr sets the quiet one (no keys
// ever wait, messages go nowhere, waits still run posted tasks). The caller
// keeps user alive while it is set.
void SetNetUser(Network& network, NetUser* user);
// The network's user (the quiet one until another is set).
NetUser& UserOf(Network& network);

}  // namespace kal
