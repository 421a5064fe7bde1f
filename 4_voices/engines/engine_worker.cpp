// The worker thread of a speech library: a queue of jobs, a count of jobs
// finished, and waits on that count with a time limit.
#include "4_voices/engines/engine_worker.h"

#include <chrono>
#include <system_error>

namespace kal {

EngineWorker::EngineWorker() : shared_(std::make_shared<Shared>()) {
  // The system may refuse a thread (a limit on processes, no memory): the
  // worker is then born stuck, takes no job, and its voice fails to start
  // and says why, as one whose library does not answer.
  try {
    thread_ = std::thread(Run, shared_);
  } catch (const std::system_error&) {
    shared_->stuck = true;
  }
}

EngineWorker::~EngineWorker() {
  if (!thread_.joinable()) return;
  bool stuck;
  {
    std::lock_guard<std::mutex> lock(shared_->mu);
    shared_->quit = true;
    stuck = shared_->stuck;
  }
  shared_->wake.notify_all();
  // A job that never returned would hold the join for ever; the thread
  // keeps its own reference to the shared state and ends when it can.
  if (stuck || !Drain(2000)) {
    thread_.detach();
    return;
  }
  thread_.join();
}

void EngineWorker::Run(std::shared_ptr<Shared> s) {
  std::unique_lock<std::mutex> lock(s->mu);
  for (;;) {
    s->wake.wait(lock, [&] { return s->quit || !s->jobs.empty(); });
    if (s->jobs.empty()) return;  // quit with nothing left
    auto job = std::move(s->jobs.front());
    s->jobs.pop_front();
    s->running = true;
    s->job_started = std::chrono::steady_clock::now();
    lock.unlock();
    job();
    lock.lock();
    s->running = false;
    ++s->finished;
    s->done.notify_all();
  }
}

bool EngineWorker::Post(std::function<void()> job, size_t max_queued) {
  {
    std::lock_guard<std::mutex> lock(shared_->mu);
    if (shared_->stuck || shared_->quit || shared_->jobs.size() >= max_queued) return false;
    shared_->jobs.push_back(std::move(job));
    ++shared_->posted;
  }
  shared_->wake.notify_one();
  return true;
}

bool EngineWorker::WaitFor(uint64_t ticket, int timeout_ms) {
  std::unique_lock<std::mutex> lock(shared_->mu);
  bool ok = shared_->done.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                   [&] { return shared_->finished >= ticket; });
  if (!ok) shared_->stuck = true;
  return ok;
}

bool EngineWorker::Call(std::function<void()> job, int timeout_ms) {
  uint64_t ticket;
  {
    std::lock_guard<std::mutex> lock(shared_->mu);
    if (shared_->stuck) return false;
    shared_->jobs.push_back(std::move(job));
    ticket = ++shared_->posted;
  }
  shared_->wake.notify_one();
  return WaitFor(ticket, timeout_ms);
}

bool EngineWorker::Drain(int timeout_ms) {
  uint64_t ticket;
  {
    std::lock_guard<std::mutex> lock(shared_->mu);
    if (shared_->stuck) return false;
    ticket = shared_->posted;
  }
  return WaitFor(ticket, timeout_ms);
}

bool EngineWorker::stuck() const {
  std::lock_guard<std::mutex> lock(shared_->mu);
  return shared_->stuck;
}

}  // namespace kal

namespace kal {

int64_t EngineWorker::RunningForMs() const {
  std::lock_guard<std::mutex> lock(shared_->mu);
  if (!shared_->running) return 0;
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               shared_->job_started).count();
}

}  // namespace kal
