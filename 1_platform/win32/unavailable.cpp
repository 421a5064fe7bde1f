// Services of the Linux build that this Windows build does not have: each
// factory gives an object that fails to open and says why, so that callers
// take their usual "not available" path.
#include "1_platform/unavailable_backends.h"

#include "1_platform/platform_messages.h"

namespace kal {

std::unique_ptr<BrailleDevice> MakeBrlapiBraille() { return MakeNoBraille(std::string(platform_msg::kNotInThisBuild)); }
std::unique_ptr<SpeechServerConnection> MakeSpeechdConnection() {
  return MakeNoSpeechServer(std::string(platform_msg::kNotInThisBuild));
}
std::unique_ptr<TextSynth> MakeEspeakSynth() { return MakeNoTextSynth(std::string(platform_msg::kNotInThisBuild)); }

}  // namespace kal
