// MIDI outputs and the parallel port in the Windows build: not reached yet.
// Each factory gives an object that fails to open and says why, so that
// MIDI INICIA and SENSOR take their usual "not available" paths.
#include <string>

#include "1_platform/midi_out.h"
#include "1_platform/parallel_port.h"

namespace kal {
namespace {

class NoMidiOutput : public MidiOutput {
 public:
  explicit NoMidiOutput(MidiOpenError why) : why_(why) {}
  MidiOpenError Open(std::string* detail) override {
    if (detail) *detail = "no MIDI output on this build";
    return why_;
  }
  void Close() override {}
  bool Send(const MidiBytes&) override { return false; }

 private:
  MidiOpenError why_;
};

class NoParallelPort : public ParallelPort {
 public:
  bool Open(std::string* err) override {
    if (err) *err = "no parallel port access on this build";
    return false;
  }
  bool IsOpen() const override { return false; }
  void WriteData(uint8_t) override {}
  void WriteControl(uint8_t) override {}
  uint8_t ReadStatus() override { return 0xFF; }
};

}  // namespace

std::unique_ptr<MidiOutput> MakeSynthMidiOutput(const std::string&) {
  return std::make_unique<NoMidiOutput>(MidiOpenError::kNoSynthesizer);
}

std::unique_ptr<MidiOutput> MakeSequencerMidiOutput(const std::string&) {
  return std::make_unique<NoMidiOutput>(MidiOpenError::kNoSequencer);
}

std::string DefaultSoundFont() { return {}; }

std::unique_ptr<ParallelPort> MakePpdevPort(const std::string&) { return std::make_unique<NoParallelPort>(); }

}  // namespace kal
