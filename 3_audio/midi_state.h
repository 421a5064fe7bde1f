// The MIDI output's state (midi.h): the open output, whether its sound is
// mixed into the audio device, the maker a test installed. It is a part of
// the wave player's state (wave_player_state.h), which main builds for the
// run, because the synthesizer plays through the same device.
//
// The audio device's thread mixes the synthesizer's sound while the output
// is open, so the output must end before its object goes: the destructor
// and the move assignment end it (the device lets go of the synthesizer
// first, then the synthesizer closes), and the wave player ends it before
// it closes its device. main's player goes before the platform's audio
// device, so the device outlives the synthesizer it mixes.
#pragma once

#include <functional>
#include <memory>

#include "1_platform/midi_out.h"

namespace kal {

struct MidiChoice;
struct Platform;

// Tests: makes the outputs instead of the real back ends (empty: the real
// ones).
using MidiOutputMaker = std::function<std::unique_ptr<MidiOutput>(const MidiChoice&)>;

struct MidiState {
  MidiState() = default;
  ~MidiState() { End(); }
  MidiState(MidiState&& other) noexcept;
  // Ends this output, then takes the other's.
  MidiState& operator=(MidiState&& other) noexcept;

  // Closes the output (nothing when none is open).
  void End();

  std::unique_ptr<MidiOutput> out;
  bool mixing = false;  // the output's sound is attached to the audio device
  Platform* mixed_on = nullptr;  // the platform state of that device, while mixing
  MidiOutputMaker maker;
  bool exit_hook = false;  // the output is closed at the program's exit
};

}  // namespace kal
