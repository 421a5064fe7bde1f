// A parallel port for tests, with 32 switches and a record of every
// register access with the loop's time.
//
// The switches sit in a matrix of 8 rows by 4 columns: switch n (1 to 32) is
// row (n - 1) / 4, column (n - 1) % 4. A row answers while its data line is
// the only low one (data bit 7 - row clear, every other bit set); its closed
// switches then flip status bits 7, 6, 5, 4 for columns 0 to 3. Any other
// data value reads the idle status.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "1_platform/parallel_port.h"

namespace kal {

class EventLoop;

struct PortAccess {
  enum Kind { kData, kControl, kStatus } kind;
  uint8_t value;
  int64_t at_ms;
};

class FakeParallelPort : public ParallelPort {
 public:
  // Each access is stamped with this loop's time.
  explicit FakeParallelPort(EventLoop& loop) : loop_(loop) {}
  bool Open(std::string* err) override;
  bool IsOpen() const override { return open_; }
  void WriteData(uint8_t value) override;
  void WriteControl(uint8_t value) override;
  uint8_t ReadStatus() override;

  // Test controls.
  void SetPresent(bool present) { present_ = present; }
  void SetSwitch(int n, bool closed) { switches_[static_cast<size_t>(n - 1)] = closed; }
  void SetIdleStatus(uint8_t status) { idle_ = status; }

  const std::vector<PortAccess>& accesses() const { return accesses_; }
  void ClearAccesses() { accesses_.clear(); }
  int opens() const { return opens_; }

 private:
  EventLoop& loop_;
  bool present_ = true;
  bool open_ = false;
  int opens_ = 0;
  uint8_t data_ = 0;
  uint8_t idle_ = 0x7F;  // the busy line reads inverted, as on a PC
  std::bitset<32> switches_;
  std::vector<PortAccess> accesses_;
};

// Installs a fresh fake port as the run's port and returns it (owned by the
// platform state; valid until the next SetParallelPort).
FakeParallelPort* InstallFakeParallelPort(Platform& platform);

}  // namespace kal
