// The network layer: TCP connections, the one TLS session, the line reader
// and the HTTP client of the download command. It sits above configuration
// and below the interpreter, and never reaches the console or the speech
// facade itself: everything it has to say to the person at the keyboard, and
// every key it needs from them, goes through NetUser, an interface of its
// own that the layer above implements and installs (the interpreter does so
// with the console and speech).
//
// What goes through it: input taken while a network wait runs (so keys keep
// reaching the queue), the download's keys (Enter for progress, space for
// ticks, Esc for the "stop?" question), its spoken messages, the certificate
// refusal and the TLS error line.
#pragma once

#include <cstdint>
#include <string>

namespace kal {

class NetUser {
 public:
  virtual ~NetUser() = default;

  // Takes pending input (keys into the queue, posted tasks) without
  // sleeping. Every network wait calls it between its slices.
  virtual void TakeInput() = 0;
  // Sleeps ms while input keeps coming in.
  virtual void Pause(int ms) = 0;

  // Whether a key is waiting (input is taken first).
  virtual bool KeyWaiting() = 0;
  // The next key byte, waiting for one: an extended key comes as 0, then
  // its scan code on the next call.
  virtual uint8_t NextKey() = 0;
  // Writes and speaks question, takes one key and writes it back on the
  // question's next line. Returns the key byte (0 for an extended key, whose
  // scan code has been taken too).
  virtual uint8_t Ask(const std::string& question) = 0;

  // A message line, written and spoken.
  virtual void Tell(const std::string& line) = 0;
  // A line written without being spoken.
  virtual void Note(const std::string& line) = 0;
  // Spoken without being written (the progress report).
  virtual void Say(const std::string& text) = 0;
  // One click: a block came while ticks are on.
  virtual void Click() = 0;
};

// Installs the user the layer talks to; nullptr installs the quiet one
// (no keys ever wait, messages go nowhere, waits still run posted tasks).
// The caller keeps user alive while it is installed.
void SetNetUser(NetUser* user);
// The installed user (the quiet one until something is installed).
NetUser& CurrentNetUser();

}  // namespace kal
