// The system's own voices where the host has them as a service of the
// system (SAPI 5 on Windows). Unlike the speech server seam
// (1_platform/speech_server.h) no call waits for long: Speak queues and
// returns, Speaking only looks, so one thread drives the voice from the
// event pump. Hosts that reach their voices through the speech server give
// no such voice (MakeSystemVoice answers nullptr).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace kal {

class SystemVoice {
 public:
  virtual ~SystemVoice() = default;
  // Creates the voice object and asks for every voice event; false with
  // *err (English, for a debug log) when the system has no such runtime.
  virtual bool Open(std::string* err) = 0;
  // The number of installed voices, in the system's order (0 when none or
  // when the list cannot be had).
  virtual int VoiceCount() = 0;
  // Speaks with the voice at that 0-based place of the list.
  virtual bool UseVoice(int index) = 0;
  // -10 (slowest) to 10 (fastest), 0 the voice's normal rate.
  virtual bool SetRate(int rate) = 0;
  // Sends the speech into a new wave file at that host path instead of the
  // sound device.
  virtual bool SetOutputFile(const std::string& path) = 0;
  // Queues Latin-1 text behind what is queued, as plain text (no markup);
  // false when the voice refused it (the host has then sounded its beep).
  virtual bool Speak(std::string_view latin1) = 0;
  // Whether anything is still being spoken; never waits.
  virtual bool Speaking() = 0;
  // Throws away the text being spoken and everything queued; never waits.
  virtual bool Purge() = 0;
  // Lets the voice and the output file go.
  virtual void Close() = 0;
};

// flavour54: the voices of the server speech platform instead of the
// desktop's. nullptr on hosts whose system voices are reached otherwise.
std::unique_ptr<SystemVoice> MakeSystemVoice(bool flavour54);

}  // namespace kal
