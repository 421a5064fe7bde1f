// The parallel-port seam: the three registers of the first parallel port,
// through which the switch sensors are read (data lines out, status lines
// in, the control register set before each step).
//
// Back ends: Linux's parallel-port device (/dev/parport0, claimed for the
// program; 1_platform/linux/ppdev_port.cpp) and a fake port with switches for
// tests (1_platform/fake/fake_parallel_port.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kal {

class ParallelPort {
 public:
  virtual ~ParallelPort() = default;

  // Opens and claims the port; false with the reason (English, for a debug
  // log) in *err. Stays open until the port object goes.
  virtual bool Open(std::string* err) = 0;
  virtual bool IsOpen() const = 0;

  // The registers: data (base address), status (base + 1, read) and
  // control (base + 2).
  virtual void WriteData(uint8_t value) = 0;
  virtual void WriteControl(uint8_t value) = 0;
  virtual uint8_t ReadStatus() = 0;
};

struct Platform;

// The run's port, kept in its platform state. Until one is installed, the
// first use makes the host's real one.
ParallelPort& Port(Platform& platform);
void SetParallelPort(Platform& platform, std::unique_ptr<ParallelPort> port);

// The real port at that device file.
std::unique_ptr<ParallelPort> MakePpdevPort(const std::string& device = "/dev/parport0");

}  // namespace kal
