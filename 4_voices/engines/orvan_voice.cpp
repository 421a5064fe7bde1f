// Kind 3: the built-in Orvan engine (4_voices/orvan/) behind the switch. It
// has no separate notion of pending text, so both busy questions get the
// same answer.
#include "4_voices/engines/voice_engine.h"
#include "4_voices/orvan/orvan_engine.h"
#include "1_platform/event_loop.h"

namespace kal {

namespace {

class OrvanVoice : public VoiceEngine {
 public:
  OrvanVoice(OrvanState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  bool Start(int voice, int rate, int pitch, const std::string& output_file) override {
    return OrvanStart(state_, voice, rate, pitch, output_file);
  }
  // After each call the loop is woken, so that the wait that follows looks
  // at the sound again at once.
  void Speak(std::string_view text) override {
    OrvanSpeak(state_, text);
    Wake();
  }
  bool Busy(int) override {
    bool busy = OrvanBusy(state_);
    Wake();
    return busy;
  }
  void Stop() override {
    OrvanStop(state_);
    Wake();
  }
  void Release() override {
    OrvanRelease(state_);
    Wake();
  }

 private:
  void Wake() { loop_.Post([] {}); }

  OrvanState& state_;
  EventLoop& loop_;
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeOrvanVoice(OrvanState& state, EventLoop& loop) {
  return std::make_unique<OrvanVoice>(state, loop);
}

}  // namespace kal
