#include "1_platform/fake/fake_parallel_port.h"

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"

namespace kal {

bool FakeParallelPort::Open(std::string* err) {
  if (!present_) {
    if (err) *err = "no parallel port";
    return false;
  }
  open_ = true;
  ++opens_;
  return true;
}

void FakeParallelPort::WriteData(uint8_t value) {
  data_ = value;
  accesses_.push_back({PortAccess::kData, value, loop_.NowMs()});
}

void FakeParallelPort::WriteControl(uint8_t value) {
  accesses_.push_back({PortAccess::kControl, value, loop_.NowMs()});
}

uint8_t FakeParallelPort::ReadStatus() {
  uint8_t status = idle_;
  for (int row = 0; row < 8; ++row) {
    if (data_ != static_cast<uint8_t>((0x80 >> row) ^ 0xFF)) continue;
    for (int column = 0; column < 4; ++column)
      if (switches_[static_cast<size_t>(row * 4 + column)]) status ^= static_cast<uint8_t>(0x80 >> column);
  }
  accesses_.push_back({PortAccess::kStatus, status, loop_.NowMs()});
  return status;
}

FakeParallelPort* InstallFakeParallelPort(Platform& platform) {
  auto port = std::make_unique<FakeParallelPort>(platform.loop);
  FakeParallelPort* raw = port.get();
  SetParallelPort(platform, std::move(port));
  return raw;
}

}  // namespace kal
