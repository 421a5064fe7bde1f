// Kinds 5 and 54: a voice of the speech server.
#include "speech/engines/voice_engine.h"

namespace kal {

namespace {

class ServerVoice : public VoiceEngine {
 public:
  bool Start(int, int, int, const std::string&) override { return false; }
  void Speak(std::string_view) override {}
  bool Busy(int) override { return false; }
  void Stop() override {}
  void Release() override {}
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeServerVoice(bool) { return std::make_unique<ServerVoice>(); }

}  // namespace kal
