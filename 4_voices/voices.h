// The voices' state for a run: the Orvan engine with the tables of its data
// files (orvan/orvan_state.h), and the diphone word synthesizer with its
// word translator (diphone/diphone_state.h, diphone/translator_tables.h),
// and the wave player the voices that speak in process play on.
// main builds one and hands it to what speaks with it (the engine switch,
// the facade's word voice); a test gets a fresh one for each case. The engines of the switch and the word
// voice are the facade's (5_speech/speech_state.h); this is what the voice
// modules below them keep between calls.
#pragma once

#include <memory>

namespace kal {

struct WavePlayer;
struct OrvanState;
namespace diphone {
struct SynthState;
}
namespace translator {
struct TranslatorState;
}

struct Voices {
  // The voices play on this player, which must outlive them.
  explicit Voices(WavePlayer& plays_on);
  ~Voices();
  Voices(const Voices&) = delete;
  Voices& operator=(const Voices&) = delete;

  WavePlayer& player;
  std::unique_ptr<OrvanState> orvan;
  std::unique_ptr<diphone::SynthState> synth;
  std::unique_ptr<translator::TranslatorState> translator;
};

}  // namespace kal
