// The MIDI output's module state and its operations.
#include "3_audio/midi.h"

#include <cstdio>
#include <cstdlib>

#include "1_platform/audio.h"
#include "1_platform/paths.h"
#include "1_platform/platform.h"
#include "1_platform/process.h"
#include "2_config/config.h"
#include "3_audio/audio_messages.h"
#include "3_audio/midi_message.h"
#include "3_audio/wave_player.h"
#include "3_audio/wave_player_state.h"

namespace kal {

namespace {

std::unique_ptr<MidiOutput> MakeOutput(const MidiState& m, const MidiChoice& choice) {
  if (m.maker) return m.maker(choice);
  if (!choice.sequencer_port.empty()) return MakeSequencerMidiOutput(choice.sequencer_port);
  return MakeSynthMidiOutput(choice.sound_font);
}

MidiStartError FromOpenError(MidiOpenError e) {
  switch (e) {
    case MidiOpenError::kNone: return MidiStartError::kNone;
    case MidiOpenError::kNoSynthesizer: return MidiStartError::kNoSynthesizer;
    case MidiOpenError::kNoSoundFont: return MidiStartError::kNoSoundFont;
    case MidiOpenError::kNoSequencer: return MidiStartError::kNoSequencer;
    case MidiOpenError::kNoPort: return MidiStartError::kNoPort;
    case MidiOpenError::kNoDevice: return MidiStartError::kNoDevice;
  }
  return MidiStartError::kNoSynthesizer;
}

// The library's own words mean little to the user; they go to standard
// error only when KALDORIN_AUDIO_DEBUG asks for them.
void DebugDetail(const std::string& detail) {
  if (!detail.empty() && std::getenv("KALDORIN_AUDIO_DEBUG")) std::fprintf(stderr, "kaldorin: midi: %s\n", detail.c_str());
}

}  // namespace

MidiChoice ReadMidiChoice(ConfigState& config) {
  MidiChoice c;
  c.sequencer_port = ReadConfig(config, cfg::kSaidaMidi);
  std::string font = ReadConfig(config, cfg::kBancoDeSons);
  c.sound_font = font.empty() ? DefaultSoundFont() : HostPath(font);
  return c;
}

MidiStartError StartMidi(WavePlayer& player) {
  auto& m = player.midi;
  if (m.out) return MidiStartError::kAlreadyOpen;
  std::unique_ptr<MidiOutput> out = MakeOutput(m, ReadMidiChoice(*player.config));
  std::string detail;
  MidiStartError e = FromOpenError(out->Open(&detail));
  if (e != MidiStartError::kNone) {
    DebugDetail(detail);
    return e;
  }
  if (AudioMixSource* sound = out->MixSource()) {
    if (!Audio(*player.platform).AttachMix(sound, ChosenWaveDevice(player), &detail)) {
      DebugDetail(detail);
      out->Close();
      return MidiStartError::kNoAudioDevice;
    }
    m.mixing = true;
    m.mixed_on = player.platform;
  }
  m.out = std::move(out);
  if (!m.exit_hook) {
    m.exit_hook = true;
    // main runs the clean-ups while its player lives.
    AtProgramExit(*player.platform, [&m] { m.End(); });
  }
  return MidiStartError::kNone;
}

bool MidiIsOpen(const WavePlayer& player) { return player.midi.out != nullptr; }

void StopMidi(WavePlayer& player) { player.midi.End(); }

MidiState::MidiState(MidiState&& other) noexcept
    : out(std::move(other.out)),
      mixing(other.mixing),
      mixed_on(other.mixed_on),
      maker(std::move(other.maker)),
      exit_hook(other.exit_hook) {
  other.mixing = false;
  other.mixed_on = nullptr;
}

MidiState& MidiState::operator=(MidiState&& other) noexcept {
  if (this == &other) return *this;
  End();
  out = std::move(other.out);
  mixing = other.mixing;
  mixed_on = other.mixed_on;
  maker = std::move(other.maker);
  exit_hook = other.exit_hook;
  other.mixing = false;
  other.mixed_on = nullptr;
  return *this;
}

void MidiState::End() {
  if (!out) return;
  // The device lets go of the synthesizer before it is destroyed.
  if (mixing) Audio(*mixed_on).DetachMix();
  mixing = false;
  mixed_on = nullptr;
  out->Close();
  out.reset();
}

bool SendMidi(WavePlayer& player, uint32_t packed) {
  MidiBytes bytes;
  auto& m = player.midi;
  if (!m.out || !DecodeShortMessage(packed, &bytes)) return false;
  return m.out->Send(bytes);
}

std::string_view MidiStartMessage(MidiStartError e) {
  switch (e) {
    case MidiStartError::kNone:
    case MidiStartError::kAlreadyOpen: return {};
    case MidiStartError::kNoSynthesizer: return audio_msg::kMidiNoSynthesizer;
    case MidiStartError::kNoSoundFont: return audio_msg::kMidiNoSoundFont;
    case MidiStartError::kNoSequencer: return audio_msg::kMidiNoSequencer;
    case MidiStartError::kNoPort: return audio_msg::kMidiNoPort;
    case MidiStartError::kNoDevice: return audio_msg::kMidiNoDevice;
    case MidiStartError::kNoAudioDevice: return audio_msg::kMidiNoAudioDevice;
  }
  return {};
}

void SetMidiOutputMaker(WavePlayer& player, MidiOutputMaker maker) { player.midi.maker = std::move(maker); }

}  // namespace kal
