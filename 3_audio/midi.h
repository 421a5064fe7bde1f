// The MIDI output of the language: at most one open at a time in a wave
// player, as a part of its state (midi_state.h); each operation is given the
// player.
//
// Where the notes go is read from Talven.ini when the output is started:
// KALDORIN/SAIDAMIDI names a port of the ALSA sequencer; when it is empty the
// synthesizer in the program plays them with the sound font of
// KALDORIN/BANCODESONS (empty: the system's General MIDI font), mixed into
// the wave player's device so that notes and speech sound together. On
// Windows an empty SAIDAMIDI means the system's MIDI mapper, and a name one
// of the system's MIDI output devices.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "1_platform/midi_out.h"
#include "3_audio/midi_state.h"

namespace kal {

struct ConfigState;
struct WavePlayer;

enum class MidiStartError {
  kNone,
  kAlreadyOpen,
  kNoSynthesizer,
  kNoSoundFont,
  kNoSequencer,
  kNoPort,
  kNoDevice,
  kNoAudioDevice,
};

// Opens the configured output. The output is closed again on any failure.
MidiStartError StartMidi(WavePlayer& player);
bool MidiIsOpen(const WavePlayer& player);
// Closes the output (nothing when none is open).
void StopMidi(WavePlayer& player);

// Sends a packed short message (3_audio/midi_message.h). False when no
// output is open, the number is no short message, or the output reports an
// error.
bool SendMidi(WavePlayer& player, uint32_t packed);

// What the user is told when the output cannot start (UTF-8).
std::string_view MidiStartMessage(MidiStartError e);

// Where an output is to go, as the configuration says.
struct MidiChoice {
  std::string sequencer_port;  // empty: the synthesizer
  std::string sound_font;      // host path of the synthesizer's font
};
MidiChoice ReadMidiChoice(ConfigState& config);

// Tests: the player's maker of outputs (midi_state.h).
void SetMidiOutputMaker(WavePlayer& player, MidiOutputMaker maker);

}  // namespace kal
