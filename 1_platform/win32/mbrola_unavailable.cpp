// The MBROLA synthesiser on Windows: mbrola.exe beside the program or on
// PATH. Driving it needs the end of an utterance to be seen on its output,
// which the Linux build reads from the process state; until a Windows way is
// built the synthesiser is reported missing, and the Orvan voice says so.
#include "1_platform/mbrola.h"

#include <string>

namespace kal {

std::unique_ptr<MbrolaSynth> MakeMbrolaProcess(const std::string&) { return nullptr; }

std::string FindMbrolaProgram() { return ""; }

}  // namespace kal
