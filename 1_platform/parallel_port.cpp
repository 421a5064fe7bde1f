#include "1_platform/parallel_port.h"

#include "1_platform/platform.h"

namespace kal {

// The platform's port, made on first use (an installed platform is
// required, as main and every test program install one).
ParallelPort& Port() {
  Platform& p = *InstalledPlatform();
  if (!p.parallel_port) p.parallel_port = MakePpdevPort();
  return *p.parallel_port;
}

void SetParallelPort(std::unique_ptr<ParallelPort> port) {
  if (Platform* p = InstalledPlatform()) p->parallel_port = std::move(port);
}

}  // namespace kal
