// Linux reaches the system's voices through the speech server
// (1_platform/speech_server.h): there is no system voice object here.
#include "1_platform/system_voice.h"

namespace kal {

std::unique_ptr<SystemVoice> MakeSystemVoice(bool) { return nullptr; }

}  // namespace kal
