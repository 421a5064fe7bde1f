// A MIDI output for tests: records every message it is sent, and can be
// told to refuse to open or to report an error for a kind of message.
#pragma once

#include <memory>
#include <vector>

#include "1_platform/midi_out.h"

namespace kal {

struct RecordingMidiLog {
  std::vector<MidiBytes> sent;
  int opens = 0;
  int closes = 0;
  MidiOpenError open_error = MidiOpenError::kNone;
  int failing_status = -1;  // messages whose status & 0xF0 is this report an error
};

// An output that writes into log (which must outlive it).
std::unique_ptr<MidiOutput> MakeRecordingMidiOutput(RecordingMidiLog* log);

}  // namespace kal
