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

}  // namespace

std::unique_ptr<SpeechEngine> MakeNoSpeechEngine() { return std::make_unique<NoSpeechEngine>(); }

}  // namespace kal
