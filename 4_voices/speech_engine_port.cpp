#include "4_voices/speech_engine_port.h"

namespace kal {

namespace {

class NoSpeechEngine : public SpeechEngine {
 public:
  bool Start(int, int, int, std::string_view, int) override { return false; }
  void Speak(std::string_view) override {}
  bool Busy(int) override { return false; }
  void Stop() override {}
  void Release() override {}
};

std::unique_ptr<SpeechEngine>& Current() {
  static std::unique_ptr<SpeechEngine> e;
  return e;
}

}  // namespace

SpeechEngine& Engine() {
  if (!Current()) Current() = std::make_unique<NoSpeechEngine>();
  return *Current();
}

void SetSpeechEngine(std::unique_ptr<SpeechEngine> engine) { Current() = std::move(engine); }

}  // namespace kal
