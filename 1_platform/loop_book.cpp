#include "1_platform/loop_book.h"

namespace kal {

void WatchList::Watch(int fd, std::function<void()> on_ready) {
  Unwatch(fd);
  watches_.push_back({fd, std::move(on_ready)});
}

void WatchList::Unwatch(int fd) {
  for (size_t i = 0; i < watches_.size(); ++i) {
    if (watches_[i].fd == fd) {
      watches_.erase(watches_.begin() + static_cast<long>(i));
      return;
    }
  }
}

std::vector<int> WatchList::Fds() const {
  std::vector<int> fds;
  for (auto& w : watches_) fds.push_back(w.fd);
  return fds;
}

bool WatchList::Run(int fd) {
  for (auto& w : watches_) {
    if (w.fd == fd) {
      auto fn = w.on_ready;  // a copy: the handler may unwatch itself
      fn();
      return true;
    }
  }
  return false;
}

void PostedTasks::Post(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(mu_);
  posted_.push_back(std::move(task));
}

void PostedTasks::RunAll() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard<std::mutex> lock(mu_);
    tasks.swap(posted_);
  }
  for (auto& t : tasks) t();
}

}  // namespace kal
