#include "4_voices/voices.h"

#include "4_voices/diphone/diphone_state.h"
#include "4_voices/diphone/translator_tables.h"
#include "4_voices/orvan/orvan_state.h"

namespace kal {

Voices::Voices(WavePlayer& plays_on)
    : player(plays_on),
      orvan(std::make_unique<OrvanState>(plays_on)),
      synth(std::make_unique<diphone::SynthState>()),
      translator(std::make_unique<translator::TranslatorState>()) {}

Voices::~Voices() = default;

}  // namespace kal
