// The real event loop: poll() over the watched descriptors and a self-pipe
// that Post() writes to, so that other threads can wake the program.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <mutex>
#include <vector>

#include "1_platform/event_loop.h"

namespace kal {
namespace {

class PollEventLoop : public EventLoop {
 public:
  PollEventLoop() {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  }
  ~PollEventLoop() override {
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
    for (auto& w : watches_) fds.push_back({w.fd, POLLIN, 0});
    int n = poll(fds.data(), fds.size(), timeout_ms);
    if (n > 0) {
      if (fds[0].revents) DrainWakePipe();
      // Handlers may change the watch list, so look each one up again.
      for (size_t i = 1; i < fds.size(); ++i) {
        if (!fds[i].revents) continue;
        for (auto& w : watches_) {
          if (w.fd == fds[i].fd) {
            auto fn = w.on_ready;
            fn();
            break;
          }
        }
      }
    }
    RunPosted();
  }

  void Watch(int fd, std::function<void()> on_ready) override {
    Unwatch(fd);
    watches_.push_back({fd, std::move(on_ready)});
  }

  void Unwatch(int fd) override {
    for (size_t i = 0; i < watches_.size(); ++i) {
      if (watches_[i].fd == fd) {
        watches_.erase(watches_.begin() + i);
        return;
      }
    }
  }

  void Post(std::function<void()> task) override {
    {
      std::lock_guard<std::mutex> lock(mu_);
      posted_.push_back(std::move(task));
    }
    char c = 1;
    if (wake_[1] >= 0) {
      ssize_t r = write(wake_[1], &c, 1);
      (void)r;  // a full pipe already means "wake up"
    }
  }

 private:
  struct WatchEntry {
    int fd;
    std::function<void()> on_ready;
  };

  void DrainWakePipe() {
    char buf[256];
    while (read(wake_[0], buf, sizeof buf) > 0) {
    }
  }

  void RunPosted() {
    std::vector<std::function<void()>> tasks;
    {
      std::lock_guard<std::mutex> lock(mu_);
      tasks.swap(posted_);
    }
    for (auto& t : tasks) t();
  }

  int wake_[2] = {-1, -1};
  std::vector<WatchEntry> watches_;
  std::mutex mu_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace

std::unique_ptr<EventLoop> MakePollEventLoop() { return std::make_unique<PollEventLoop>(); }

}  // namespace kal
