#include "1_platform/event_loop.h"

#include "1_platform/platform.h"

namespace kal {

bool LoopMailbox::Post(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(mu_);
  if (!loop_) return false;
  loop_->Post(std::move(task));
  return true;
}

std::shared_ptr<LoopMailbox> EventLoop::Mailbox() {
  if (!mailbox_) mailbox_ = std::make_shared<LoopMailbox>(this);
  return mailbox_;
}

void EventLoop::CloseMailbox() {
  if (!mailbox_) return;
  std::lock_guard<std::mutex> lock(mailbox_->mu_);
  mailbox_->loop_ = nullptr;
}

LocalTime RealLocalTime();  // 1_platform/linux/local_time.cpp

LocalTime NowLocal(const Platform& p) { return p.pinned_time ? *p.pinned_time : RealLocalTime(); }

}  // namespace kal
