// The parallel port through Linux's ppdev driver: the device file is opened,
// the port claimed for us, and each register read or written with its ioctl.
// A port that fails an ioctl after it was opened reads as all ones and
// takes writes silently, as a port with nothing attached would.
#include "1_platform/parallel_port.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kal {

namespace {

class PpdevPort : public ParallelPort {
 public:
  explicit PpdevPort(std::string device) : device_(std::move(device)) {}
  ~PpdevPort() override {
    if (fd_ < 0) return;
    ioctl(fd_, PPRELEASE);
    close(fd_);
  }

  bool Open(std::string* err) override {
    if (fd_ >= 0) return true;
    int fd = open(device_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return Fail(err, device_ + ": " + std::strerror(errno));
    if (ioctl(fd, PPCLAIM) != 0) {
      std::string why = device_ + ": claim: " + std::strerror(errno);
      close(fd);
      return Fail(err, why);
    }
    // The data lines drive the sensor rows: they must be outputs.
    int forward = 0;
    ioctl(fd, PPDATADIR, &forward);
    fd_ = fd;
    return true;
  }

  bool IsOpen() const override { return fd_ >= 0; }

  void WriteData(uint8_t value) override {
    if (fd_ >= 0) ioctl(fd_, PPWDATA, &value);
  }

  void WriteControl(uint8_t value) override {
    if (fd_ >= 0) ioctl(fd_, PPWCONTROL, &value);
  }

  uint8_t ReadStatus() override {
    unsigned char value = 0xFF;
    if (fd_ < 0 || ioctl(fd_, PPRSTATUS, &value) != 0) return 0xFF;
    return value;
  }

 private:
  static bool Fail(std::string* err, std::string why) {
    if (err) *err = std::move(why);
    return false;
  }

  std::string device_;
  int fd_ = -1;
};

}  // namespace

std::unique_ptr<ParallelPort> MakePpdevPort(const std::string& device) { return std::make_unique<PpdevPort>(device); }

}  // namespace kal
