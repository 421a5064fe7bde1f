// The real event loop on Windows: MsgWaitForMultipleObjects over an event
// that Post() sets, so that other threads can wake the program, and over the
// thread's window messages, which are dispatched here (the console window's
// keys arrive that way). Watched descriptors are sockets: Windows cannot wait
// on a socket without making it non-blocking, so they are looked at with a
// zero-time select() in short steps while the loop sleeps.
#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "1_platform/event_loop.h"
#include "1_platform/loop_book.h"

namespace kal {
namespace {

// How often watched sockets are looked at while the loop sleeps.
constexpr DWORD kSocketStepMs = 10;

class MessageEventLoop : public EventLoop {
 public:
  MessageEventLoop() { wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr); }
  ~MessageEventLoop() override {
    CloseMailbox();
    if (wake_) CloseHandle(wake_);
  }

  int64_t NowMs() override { return static_cast<int64_t>(GetTickCount64()); }

  void Wait(int timeout_ms) override {
    int64_t end = timeout_ms < 0 ? -1 : NowMs() + timeout_ms;
    for (;;) {
      if (RunReadySockets()) break;
      DWORD slice = INFINITE;
      if (end >= 0) slice = static_cast<DWORD>(std::max<int64_t>(0, end - NowMs()));
      if (!watches_.Empty()) slice = std::min(slice, kSocketStepMs);
      DWORD r = MsgWaitForMultipleObjects(1, &wake_, FALSE, slice, QS_ALLINPUT);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) {
        DispatchMessages();
        break;
      }
      if (RunReadySockets()) break;
      if (end >= 0 && NowMs() >= end) break;
      if (r == WAIT_FAILED) break;
    }
    DispatchMessages();
    posted_.RunAll();
  }

  void Watch(int fd, std::function<void()> on_ready) override { watches_.Watch(fd, std::move(on_ready)); }
  void Unwatch(int fd) override { watches_.Unwatch(fd); }

  void Post(std::function<void()> task) override {
    posted_.Post(std::move(task));
    if (wake_) SetEvent(wake_);
  }

 private:
  static void DispatchMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  // Runs the handlers of the watched sockets that have data (or their end);
  // true when one ran.
  bool RunReadySockets() {
    if (watches_.Empty()) return false;
    fd_set set;
    FD_ZERO(&set);
    for (int fd : watches_.Fds()) {
      if (set.fd_count < FD_SETSIZE) set.fd_array[set.fd_count++] = static_cast<SOCKET>(fd);
    }
    timeval zero{0, 0};
    if (select(0, &set, nullptr, nullptr, &zero) <= 0) return false;
    std::vector<int> ready;
    for (u_int i = 0; i < set.fd_count; ++i) ready.push_back(static_cast<int>(set.fd_array[i]));
    bool ran = false;
    for (int fd : ready) ran = watches_.Run(fd) || ran;
    return ran;
  }

  HANDLE wake_ = nullptr;
  WatchList watches_;
  PostedTasks posted_;
};

}  // namespace

std::unique_ptr<EventLoop> MakePollEventLoop() { return std::make_unique<MessageEventLoop>(); }

}  // namespace kal
