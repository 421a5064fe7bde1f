// Choosing the MBROLA synthesiser: the real program unless a test installed
// a factory.
#include "1_platform/mbrola.h"

namespace kal {

namespace {

std::function<std::unique_ptr<MbrolaSynth>()>& Factory() {
  static std::function<std::unique_ptr<MbrolaSynth>()> factory;
  return factory;
}

}  // namespace

void SetMbrolaFactoryForTest(std::function<std::unique_ptr<MbrolaSynth>()> factory) {
  Factory() = std::move(factory);
}

std::unique_ptr<MbrolaSynth> LoadMbrola() {
  if (Factory()) return Factory()();
  std::string program = FindMbrolaProgram();
  if (program.empty()) return nullptr;
  return MakeMbrolaProcess(program);
}

}  // namespace kal
