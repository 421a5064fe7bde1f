#include "1_platform/parallel_port.h"

namespace kal {

namespace {
std::unique_ptr<ParallelPort>& Installed() {
  static std::unique_ptr<ParallelPort> p;
  return p;
}
}  // namespace

ParallelPort& Port() {
  if (!Installed()) Installed() = MakePpdevPort();
  return *Installed();
}

void SetParallelPort(std::unique_ptr<ParallelPort> port) { Installed() = std::move(port); }

}  // namespace kal
