// A thread of its own for a speech library whose calls may take long or
// never return (a synthesiser working through a long text, a speech server
// that stopped answering). Jobs run one after another in the order given.
// The program's thread either hands a job over and goes on (Post) or waits
// for it with a time limit (Call); a job that overruns its limit leaves the
// worker marked as stuck, and whoever owns it stops using it.
//
// Jobs never touch program state: what they learn goes back through the
// event loop (EventLoop::Post on the loop their engine was given).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kal {

class EngineWorker {
 public:
  EngineWorker();
  // Joins the thread when it is free; a stuck thread is left to itself
  // (detached), still owning the shared state it needs.
  ~EngineWorker();
  EngineWorker(const EngineWorker&) = delete;
  EngineWorker& operator=(const EngineWorker&) = delete;

  // Queues a job and returns at once. False when the worker is stuck or
  // already has max_queued jobs waiting (the job is dropped).
  bool Post(std::function<void()> job, size_t max_queued = 256);

  // Queues a job and waits at most timeout_ms (real time, not the event
  // loop's clock) for it to finish. False when it did not finish in time:
  // the worker is then stuck and takes no more jobs.
  bool Call(std::function<void()> job, int timeout_ms);

  // Waits at most timeout_ms for every queued job to finish.
  bool Drain(int timeout_ms);

  bool stuck() const;
  // How long the job now running has been at it (0 when idle), real time.
  int64_t RunningForMs() const;

 private:
  struct Shared {
    std::mutex mu;
    std::condition_variable wake;
    std::condition_variable done;
    std::deque<std::function<void()>> jobs;
    uint64_t posted = 0;
    uint64_t finished = 0;
    bool quit = false;
    bool stuck = false;
    bool running = false;
    std::chrono::steady_clock::time_point job_started;
  };
  static void Run(std::shared_ptr<Shared> s);
  bool WaitFor(uint64_t ticket, int timeout_ms);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace kal
