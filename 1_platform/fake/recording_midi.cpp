#include "1_platform/fake/recording_midi.h"

namespace kal {

namespace {

class RecordingMidiOutput : public MidiOutput {
 public:
  explicit RecordingMidiOutput(RecordingMidiLog* log) : log_(log) {}

  MidiOpenError Open(std::string* detail) override {
    if (log_->open_error != MidiOpenError::kNone) {
      if (detail) *detail = "refused by the test";
      return log_->open_error;
    }
    ++log_->opens;
    return MidiOpenError::kNone;
  }
  void Close() override { ++log_->closes; }
  bool Send(const MidiBytes& m) override {
    log_->sent.push_back(m);
    return (m.data[0] & 0xF0) != log_->failing_status;
  }

 private:
  RecordingMidiLog* log_;
};

}  // namespace

std::unique_ptr<MidiOutput> MakeRecordingMidiOutput(RecordingMidiLog* log) {
  return std::make_unique<RecordingMidiOutput>(log);
}

}  // namespace kal
