// Kind 3: the built-in Orvan engine (4_voices/orvan/) behind the switch. It
// has no separate notion of pending text, so both busy questions get the
// same answer.
#include "4_voices/engines/voice_engine.h"
#include "4_voices/orvan/orvan_engine.h"

namespace kal {

namespace {

class OrvanVoice : public VoiceEngine {
 public:
  bool Start(int voice, int rate, int pitch, const std::string& output_file) override {
    return OrvanStart(voice, rate, pitch, output_file);
  }
  void Speak(std::string_view text) override { OrvanSpeak(text); }
  bool Busy(int) override { return OrvanBusy(); }
  void Stop() override { OrvanStop(); }
  void Release() override { OrvanRelease(); }
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeOrvanVoice() { return std::make_unique<OrvanVoice>(); }

}  // namespace kal
