// The bookkeeping every event loop keeps, whatever it sleeps on: the watched
// descriptors with their handlers, and the tasks other threads posted. The
// poll() loop, the Windows message loop and the tests' loop share it.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

namespace kal {

class WatchList {
 public:
  // Watches fd with this handler, in place of any handler it had.
  void Watch(int fd, std::function<void()> on_ready);
  void Unwatch(int fd);
  bool Empty() const { return watches_.empty(); }
  // The watched descriptors, in the order they were first watched.
  std::vector<int> Fds() const;
  // Runs the handler of fd if fd is still watched (an earlier handler may
  // have changed the list); true when one ran.
  bool Run(int fd);

 private:
  struct Entry {
    int fd;
    std::function<void()> on_ready;
  };
  std::vector<Entry> watches_;
};

// Tasks posted from any thread, run on the loop's thread.
class PostedTasks {
 public:
  void Post(std::function<void()> task);
  // Runs the tasks posted so far (those they post wait for the next call).
  void RunAll();

 private:
  std::mutex mu_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace kal
