// Event loop for tests: time is virtual and a wait advances it at once.
// Watched descriptors are never polled (tests feed input through in-memory
// sources); posted tasks run on every wait.
#include <mutex>
#include <vector>

#include "1_platform/event_loop.h"

namespace kal {
namespace {

class FakeEventLoop : public EventLoop {
 public:
  int64_t NowMs() override { return now_; }

  void Wait(int timeout_ms) override {
    // A wait "until something happens" advances one tick, so that loops
    // that wait for a condition still see time move.
    now_ += timeout_ms < 0 ? 1 : (timeout_ms == 0 ? 0 : timeout_ms);
    std::vector<std::function<void()>> tasks;
    {
      std::lock_guard<std::mutex> lock(mu_);
      tasks.swap(posted_);
    }
    for (auto& t : tasks) t();
  }

  void Watch(int fd, std::function<void()> on_ready) override {
    Unwatch(fd);
    watches_.push_back({fd, std::move(on_ready)});
  }

  void Unwatch(int fd) override {
    for (size_t i = 0; i < watches_.size(); ++i)
      if (watches_[i].fd == fd) {
        watches_.erase(watches_.begin() + i);
        return;
      }
  }

  void Post(std::function<void()> task) override {
    std::lock_guard<std::mutex> lock(mu_);
    posted_.push_back(std::move(task));
  }

 private:
  struct WatchEntry {
    int fd;
    std::function<void()> on_ready;
  };
  int64_t now_ = 1000000;
  std::vector<WatchEntry> watches_;
  std::mutex mu_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace

std::unique_ptr<EventLoop> MakeFakeEventLoop() { return std::make_unique<FakeEventLoop>(); }

}  // namespace kal
