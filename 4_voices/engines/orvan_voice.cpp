// Kind 3: the built-in Orvan engine (4_voices/orvan/) behind the switch. It
// has no separate notion of pending text, so both busy questions get the
// same answer.
#include "4_voices/engines/voice_engine.h"
#include "4_voices/orvan/orvan_engine.h"

namespace kal {

namespace {

class OrvanVoice : public VoiceEngine {
 public:
  explicit OrvanVoice(OrvanState& state) : state_(state) {}
  bool Start(int voice, int rate, int pitch, const std::string& output_file) override {
    return OrvanStart(state_, voice, rate, pitch, output_file);
  }
  void Speak(std::string_view text) override { OrvanSpeak(state_, text); }
  bool Busy(int) override { return OrvanBusy(state_); }
  void Stop() override { OrvanStop(state_); }
  void Release() override { OrvanRelease(state_); }

 private:
  OrvanState& state_;
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeOrvanVoice(OrvanState& state) { return std::make_unique<OrvanVoice>(state); }

}  // namespace kal
