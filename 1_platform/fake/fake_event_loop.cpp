// Event loop for tests: time is virtual and a wait advances it at once.
// Watched descriptors are never polled (tests feed input through in-memory
// sources); posted tasks run on every wait.
#include "1_platform/event_loop.h"
#include "1_platform/loop_book.h"

namespace kal {
namespace {

class FakeEventLoop : public EventLoop {
 public:
  ~FakeEventLoop() override { CloseMailbox(); }

  int64_t NowMs() override { return now_; }

  void Wait(int timeout_ms) override {
    // A wait "until something happens" advances one tick, so that loops
    // that wait for a condition still see time move.
    now_ += timeout_ms < 0 ? 1 : (timeout_ms == 0 ? 0 : timeout_ms);
    posted_.RunAll();
  }

  void Watch(int fd, std::function<void()> on_ready) override { watches_.Watch(fd, std::move(on_ready)); }
  void Unwatch(int fd) override { watches_.Unwatch(fd); }
  void Post(std::function<void()> task) override { posted_.Post(std::move(task)); }

 private:
  int64_t now_ = 1000000;
  WatchList watches_;
  PostedTasks posted_;
};

}  // namespace

std::unique_ptr<EventLoop> MakeFakeEventLoop() { return std::make_unique<FakeEventLoop>(); }

}  // namespace kal
