// MBROLA as a persistent co-process, the part every host shares: `mbrola
// -e DB - -.wav` reads the phoneme stream on its standard input and writes a
// wave header once, then raw 16-bit samples, on its standard output.
//
// This class keeps the stream's state (input not yet taken, samples not yet
// read, whether an utterance is being drained) and the rules of the
// utterance; a host subclass (1_platform/linux/, 1_platform/win32/) starts
// the process and moves bytes through its pipes without ever blocking on a
// full pipe (mbrola stops reading while its output is full).
//
// The output stream has no end-of-utterance mark. A line "#" makes mbrola
// synthesise and flush everything pending; the utterance counts as complete
// when all our input has been written and the host has seen the process
// idle for the rounds it asks for (ProcessIdle).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "1_platform/mbrola.h"

namespace kal {

class MbrolaPipeSynth : public MbrolaSynth {
 public:
  // idle_rounds: how many rounds in a row ProcessIdle must answer true
  // before a drained utterance counts as complete.
  explicit MbrolaPipeSynth(int idle_rounds) : idle_rounds_(idle_rounds) {}

  int init_MBR(const std::string& database) override;
  int write_MBR(std::string_view line) override;
  int flush_MBR() override;
  int read_MBR(int16_t* buffer, int count) override;
  void reset_MBR() override;
  void close_MBR() override;
  void setNoError_MBR(int no_error) override { no_error_ = no_error; }
  int getFreq_MBR() override { return rate_; }

 protected:
  // Host: starts the program on a readable database file with its pipes
  // ready; false when the file cannot be read or the program not started.
  virtual bool StartProcess(const std::string& database) = 0;
  // Host: closes the pipes and ends the process (it gets a moment to leave
  // on its own).
  virtual void EndProcess() = 0;
  // Host: waits at most timeout_ms for the pipes to have something to do
  // (want_write: the input pipe taking bytes counts too).
  virtual void WaitForPipes(int timeout_ms, bool want_write) = 0;
  // Host: writes what the input pipe takes now; the number of bytes
  // written (0 when it is full), -1 when the process has gone.
  virtual long WriteInput(const char* data, size_t size) = 0;
  // Host: appends what the output pipe holds now to *samples and discards
  // the error pipe's text; the number of bytes read from both, -1 once
  // either pipe is closed.
  virtual long ReadOutput(std::string* samples) = 0;
  // Host: whether the process looks idle, everything written having been
  // taken and its output read (called only when no input is pending).
  virtual bool ProcessIdle() = 0;
  // Host: drops the utterance in flight so that the next one starts clean
  // (called only while something is in flight).
  virtual void AbandonUtterance() = 0;

  // One round of I/O: writes what mbrola will take and reads what it
  // produced, waiting at most timeout_ms for any of it.
  void Pump(int timeout_ms);
  // After a flush: returns when samples are there or the utterance is over.
  void WaitForSamplesOrEnd();
  void Died();
  int64_t MsSinceProgress() const;
  static int64_t NowMs();

  bool alive_ = false;
  bool draining_ = false;
  std::string pending_;  // input not yet taken by the pipe
  std::string out_;      // samples read, not yet handed out
  std::string database_;

 private:
  int idle_rounds_;
  int rate_ = 0;
  int no_error_ = 0;
  int64_t progress_ms_ = 0;
};

}  // namespace kal
