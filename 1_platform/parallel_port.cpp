#include "1_platform/parallel_port.h"

#include "1_platform/platform.h"

namespace kal {

ParallelPort& Port(Platform& p) {
  if (!p.parallel_port) p.parallel_port = MakePpdevPort();
  return *p.parallel_port;
}

void SetParallelPort(Platform& p, std::unique_ptr<ParallelPort> port) { p.parallel_port = std::move(port); }

}  // namespace kal
