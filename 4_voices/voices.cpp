#include "4_voices/voices.h"

#include "4_voices/diphone/diphone_state.h"
#include "4_voices/diphone/translator_tables.h"
#include "4_voices/orvan/orvan_state.h"

namespace kal {

namespace {

// The installed voices. Process-wide because the voice modules are reached
// through free functions from the engines, the facade and the tools; main
// sets it for the run.
Voices* g_voices = nullptr;

}  // namespace

Voices::Voices()
    : orvan(std::make_unique<OrvanState>()),
      synth(std::make_unique<diphone::SynthState>()),
      translator(std::make_unique<translator::TranslatorState>()) {}

Voices::~Voices() = default;

VoicesScope::VoicesScope(Voices& voices) : previous_(g_voices) { g_voices = &voices; }
VoicesScope::~VoicesScope() { g_voices = previous_; }

Voices& InstalledVoices() { return *g_voices; }

OrvanState& InstalledOrvan() { return *InstalledVoices().orvan; }

}  // namespace kal
