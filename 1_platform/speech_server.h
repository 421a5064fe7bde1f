// The speech server seam: one client connection to the system's speech
// server. Every call blocks until the server answers (or never returns when
// it has stopped answering), so all calls of one connection belong on one
// worker thread that the caller can give up on. Notifications of messages
// ending come on the client library's own thread.
//
// Back end: speech-dispatcher through libspeechd
// (1_platform/linux/speechd_server.cpp). Without it in the build, Open fails
// and says so.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kal {

enum class ServerEvent { kEnd, kCancel };

class SpeechServerConnection {
 public:
  // Called on the library's thread: must only hand the event on.
  using EventHandler = std::function<void(int message_id, ServerEvent event)>;

  virtual ~SpeechServerConnection() = default;
  // Connects (starting the server when the system does that on demand) and
  // asks for end and cancel notifications. False with *err filled.
  virtual bool Open(const std::string& client_name, EventHandler on_event, std::string* err) = 0;
  // Selects the output module by name; empty keeps the server's default.
  virtual bool SetOutputModule(const std::string& module) = 0;
  // The names of the synthesis voices of the current output module, in the
  // server's order.
  virtual std::vector<std::string> Voices() = 0;
  virtual bool SetVoice(const std::string& name) = 0;
  // -100..100.
  virtual bool SetRate(int rate) = 0;
  // Queues a UTF-8 text behind the ones still queued; the message id, or -1
  // when the server did not take it (connection lost).
  virtual int Say(const std::string& utf8) = 0;
  // Stops the message being spoken and drops the queued ones.
  virtual bool Cancel() = 0;
  virtual void Close() = 0;
};

std::unique_ptr<SpeechServerConnection> MakeSpeechdConnection();

}  // namespace kal
