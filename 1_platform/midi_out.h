// The MIDI output seam: where notes and program changes go.
//
// An output takes one complete MIDI message at a time, as its bytes (a
// status byte and up to two data bytes, decoded from the language's packed
// short messages in 3_audio/midi_message.h), so every output gets the very
// same bytes.
//
// Back ends (1_platform/linux/):
//   - a software synthesizer in process, playing a General MIDI sound font;
//     its sound is made on the audio device's thread and mixed with the wave
//     player's (AudioMixSource, 1_platform/audio.h);
//   - a port of the ALSA sequencer (a hardware synthesizer or a synthesizer
//     program), named by the user.
// On Windows (1_platform/win32/winmm_midi.cpp) the "synthesizer" is the
// system's MIDI mapper and the named port one of its MIDI output devices.
// Tests use a recording output (1_platform/fake/recording_midi.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kal {

class AudioMixSource;

struct MidiBytes {
  uint8_t data[3] = {0, 0, 0};
  int length = 0;  // 1 to 3
  bool operator==(const MidiBytes&) const = default;
};

// Why an output could not be opened.
enum class MidiOpenError {
  kNone,
  kNoSynthesizer,  // the synthesizer could not be made (or is not built in)
  kNoSoundFont,    // the sound font file is missing or unreadable
  kNoSequencer,    // the ALSA sequencer cannot be reached
  kNoPort,         // the named sequencer port does not exist or refused us
  kNoDevice,       // the system has no MIDI output device at all
};

class MidiOutput {
 public:
  virtual ~MidiOutput() = default;

  // Opens the output. On failure *detail may hold the library's own words
  // (English, for a debug log).
  virtual MidiOpenError Open(std::string* detail) = 0;
  virtual void Close() = 0;

  // Sends one message; false when the output reports an error.
  virtual bool Send(const MidiBytes& message) = 0;

  // The sound the output makes for the program's own audio device, or
  // nullptr when it plays somewhere else. Valid while the output is open.
  virtual AudioMixSource* MixSource() { return nullptr; }
};

// The synthesizer in process, with the sound font at that host path
// (Windows: the MIDI mapper; the font is not used).
std::unique_ptr<MidiOutput> MakeSynthMidiOutput(const std::string& sound_font);

// A port of the ALSA sequencer: "client:port" numbers or the client's name
// ("128:0", "Synth", "Synth:1"). Windows: a MIDI output device by its name
// or its number ("0" is the first).
std::unique_ptr<MidiOutput> MakeSequencerMidiOutput(const std::string& port);

// The sound font used when the configuration names none (host path; the
// first General MIDI font the system has, else its usual place); empty where
// the build has no synthesizer of its own.
std::string DefaultSoundFont();

}  // namespace kal
