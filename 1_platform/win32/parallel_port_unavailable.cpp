// The parallel port in the Windows build: not reached yet. The factory
// gives a port that fails to open and says why, so that SENSOR takes its
// usual "not available" path.
#include <string>

#include "1_platform/parallel_port.h"

namespace kal {
namespace {

class NoParallelPort : public ParallelPort {
 public:
  bool Open(std::string* err) override {
    if (err) *err = "no parallel port access on this build";
    return false;
  }
  bool IsOpen() const override { return false; }
  void WriteData(uint8_t) override {}
  void WriteControl(uint8_t) override {}
  uint8_t ReadStatus() override { return 0xFF; }
};

}  // namespace

std::unique_ptr<ParallelPort> MakePpdevPort(const std::string&) { return std::make_unique<NoParallelPort>(); }

}  // namespace kal
