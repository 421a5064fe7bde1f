// Kind 3: the built-in Orvan engine behind the switch.
//
// The engine itself lives in speech/orvan/; until it is part of the build
// this stand-in answers that it cannot start, so the facade keeps the
// recorded voice.
#include "speech/engines/voice_engine.h"

namespace kal {

namespace {

class OrvanVoice : public VoiceEngine {
 public:
  bool Start(int, int, int, const std::string&) override { return false; }
  void Speak(std::string_view) override {}
  bool Busy(int) override { return false; }
  void Stop() override {}
  void Release() override {}
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeOrvanVoice() { return std::make_unique<OrvanVoice>(); }

}  // namespace kal
