// The headless front end: what the program writes goes to standard output as
// UTF-8 text, line by line as written; keys are raw bytes from standard input.
// (The in-memory one for tests is 1_platform/memory_frontend.cpp.)
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "1_platform/event_loop.h"
#include "1_platform/headless_base.h"

namespace kal {
namespace {

class HeadlessFrontEnd : public HeadlessFrontEndBase {
 public:
  HeadlessFrontEnd(int in_fd, int out_fd) : in_(in_fd), out_(out_fd) {
    int fl = fcntl(in_, F_GETFL);
    if (fl >= 0) fcntl(in_, F_SETFL, fl | O_NONBLOCK);
  }
  // Nothing is seen, so a picture that loaded counts as shown.
  bool ShowPicture(const Picture&, int, int) override { return true; }
  int InputFd() override { return in_; }
  int ReadInput(char* buf, int cap) override {
    if (eof_) return -1;
    ssize_t n = read(in_, buf, cap);
    if (n > 0) return static_cast<int>(n);
    if (n == 0) {
      eof_ = true;
      return -1;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    eof_ = true;
    return -1;
  }

 private:
  void WriteAll(const std::string& s) override {
    size_t off = 0;
    while (off < s.size()) {
      ssize_t n = write(out_, s.data() + off, s.size() - off);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // nowhere to write: the program carries on
      off += n;
    }
  }
  int in_, out_;
  bool eof_ = false;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakeHeadlessFrontEnd(EventLoop&, int in_fd, int out_fd) {
  return std::make_unique<HeadlessFrontEnd>(in_fd, out_fd);
}

}  // namespace kal
