// Choosing the MBROLA synthesiser: the real program unless the platform's
// state holds a factory (tests).
#include "1_platform/mbrola.h"

#include "1_platform/platform.h"

namespace kal {

std::unique_ptr<MbrolaSynth> LoadMbrola(const Platform& p) {
  if (p.mbrola_factory) return p.mbrola_factory();
  std::string program = FindMbrolaProgram();
  if (program.empty()) return nullptr;
  return MakeMbrolaProcess(program);
}

bool MbrolaInstalled(const Platform& p) { return p.mbrola_factory || !FindMbrolaProgram().empty(); }

}  // namespace kal
