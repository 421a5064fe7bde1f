// Layer 1_platform: the seam to the host. Each interface here has its back
// ends in linux/ (the only files that include system headers) and test
// stand-ins in fake/; a Windows back end goes beside them. Portable modules
// that every layer above waits through live here too: this event loop, the
// waits over it (pump.h), the stop request and the notice writer that the
// console installs (user_notice.h).
//
// The one event pump of the program.
//
// Every wait of the program (a key, a delay, speech, a child process, a
// download poll) ends up in EventLoop::Wait, which sleeps until input arrives
// on a watched descriptor, a task is posted from another thread, or the time
// runs out, and then runs the handlers on the calling (only) thread. Library
// threads never touch program state: they Post() a task.
//
// Two implementations: the real one over poll() and a self-pipe
// (1_platform/linux/poll_event_loop.cpp), and a fake one for tests whose clock
// is virtual, so that a delay advances time at once (1_platform/fake/).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace kal {

class EventLoop;

// How a thread that may outlive its loop posts to it (a reader blocked in a
// read, a speech worker left stuck, a library's own thread): the loop closes
// its mailbox first thing when it goes, and a later post is dropped.
class LoopMailbox {
 public:
  explicit LoopMailbox(EventLoop* loop) : loop_(loop) {}
  // Thread-safe; false when the loop is gone and the task was dropped.
  bool Post(std::function<void()> task);

 private:
  friend class EventLoop;
  std::mutex mu_;
  EventLoop* loop_;  // null once closed
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Milliseconds on a monotonic clock (virtual in tests).
  virtual int64_t NowMs() = 0;

  // Sleeps at most timeout_ms (negative: until something happens), then runs
  // the handlers of ready descriptors and every posted task. Returns early
  // when something happened.
  virtual void Wait(int timeout_ms) = 0;

  // Calls on_ready (on the loop's thread, from Wait) whenever fd is readable.
  virtual void Watch(int fd, std::function<void()> on_ready) = 0;
  virtual void Unwatch(int fd) = 0;

  // Thread-safe: queues a task for the loop's thread and wakes a Wait.
  // Only for threads that end before the loop does; others post through
  // Mailbox().
  virtual void Post(std::function<void()> task) = 0;

  // Made at the first call, on the loop's thread.
  std::shared_ptr<LoopMailbox> Mailbox();

 protected:
  // Each loop calls this first in its destructor: once it returns, no
  // thread is inside Post, and none will be.
  void CloseMailbox();

 private:
  std::shared_ptr<LoopMailbox> mailbox_;
};

// main makes the real loop and hands it down (Platform::loop, and the other
// states of a run hold it too); tests make a fake one per case.
std::unique_ptr<EventLoop> MakePollEventLoop();
std::unique_ptr<EventLoop> MakeFakeEventLoop();

// Wall-clock local time, used for the interpreter's time reference and the
// spoken time; the time pinned in the platform state (platform.h) when
// tests pin one.
struct LocalTime {
  int year, month, day, weekday;  // weekday 0 = Sunday
  int hour, minute, second, hundredths;
};
struct Platform;
LocalTime NowLocal(const Platform& platform);

}  // namespace kal
