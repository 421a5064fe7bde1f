// Layer 4_voices: the voices that turn text into sound: the text-to-speech
// engines (engines/), Orvan (orvan/) and the recorded diphone word voice
// (diphone/). They play through the wave player below them, wait through
// the pump (1_platform/pump.h), and know nothing of the facade above them:
// what they need of it (the word voice's player) is handed to them.
//
// The speech engine as the facade sees it. The program's is the engine
// switch (engines/engine_switch.h), which starts one of the text-to-speech
// engines by kind (3 Orvan, 4, 54, other values the default server voice) and
// hands speak, busy, stop and release to it; main gives it to the speech
// facade (5_speech/speech.h). Without one, the facade uses MakeNoSpeechEngine:
// starting fails and the recorded voice speaks.
#pragma once

#include <memory>
#include <string_view>

namespace kal {

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // True when the engine of that kind is ready.
  virtual bool Start(int voice, int rate, int pitch, std::string_view output_file, int kind) = 0;
  // Hands text over and returns at once.
  virtual void Speak(std::string_view text) = 0;
  // True while the engine is still speaking.
  virtual bool Busy(int flag) = 0;
  virtual void Stop() = 0;
  virtual void Release() = 0;
};

// An engine that never starts.
std::unique_ptr<SpeechEngine> MakeNoSpeechEngine();

}  // namespace kal
