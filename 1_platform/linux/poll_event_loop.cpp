// The real event loop: poll() over the watched descriptors and a self-pipe
// that Post() writes to, so that other threads can wake the program.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <vector>

#include "1_platform/event_loop.h"
#include "1_platform/loop_book.h"

namespace kal {
namespace {

class PollEventLoop : public EventLoop {
 public:
  PollEventLoop() {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  }
  ~PollEventLoop() override {
    CloseMailbox();
    if (wake_[0] >= 0) close(wake_[0]);
    if (wake_[1] >= 0) close(wake_[1]);
  }

  int64_t NowMs() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  }

  void Wait(int timeout_ms) override {
    std::vector<pollfd> fds;
    fds.push_back({wake_[0], POLLIN, 0});
    for (int fd : watches_.Fds()) fds.push_back({fd, POLLIN, 0});
    int n = poll(fds.data(), fds.size(), timeout_ms);
    if (n > 0) {
      if (fds[0].revents) DrainWakePipe();
      for (size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents) watches_.Run(fds[i].fd);
    }
    posted_.RunAll();
  }

  void Watch(int fd, std::function<void()> on_ready) override { watches_.Watch(fd, std::move(on_ready)); }
  void Unwatch(int fd) override { watches_.Unwatch(fd); }

  void Post(std::function<void()> task) override {
    posted_.Post(std::move(task));
    char c = 1;
    if (wake_[1] >= 0) {
      ssize_t r = write(wake_[1], &c, 1);
      (void)r;  // a full pipe already means "wake up"
    }
  }

 private:
  void DrainWakePipe() {
    char buf[256];
    while (read(wake_[0], buf, sizeof buf) > 0) {
    }
  }

  int wake_[2] = {-1, -1};
  WatchList watches_;
  PostedTasks posted_;
};

}  // namespace

std::unique_ptr<EventLoop> MakePollEventLoop() { return std::make_unique<PollEventLoop>(); }

}  // namespace kal
