// Services of the Linux build that this Windows build does not have: each
// factory gives an object that fails to open and says why, so that callers
// take their usual "not available" path.
#include "1_platform/unavailable_backends.h"

namespace kal {

std::unique_ptr<BrailleDevice> MakeBrlapiBraille() { return MakeNoBraille(); }
std::unique_ptr<SpeechServerConnection> MakeSpeechdConnection() {
  return MakeNoSpeechServer("no speech server on Windows");
}
std::unique_ptr<TextSynth> MakeEspeakSynth() { return MakeNoTextSynth("no in-process synthesiser on Windows"); }

}  // namespace kal
