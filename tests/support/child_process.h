// Helper programs that a test starts and stops itself (a sound server, a
// speech server): started with extra environment settings and their output
// in a log file, stopped by their process id.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kal::test {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (looked up in PATH) with the arguments; env entries are
  // added to (or replace in) the test's environment. Output goes to log.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
             const std::string& log);
  // Asks it to end, and kills it when it has not after timeout_ms.
  void Stop(int timeout_ms = 2000);
  bool Running();
  int pid() const { return pid_; }

 private:
  int pid_ = -1;
};

// Waits (real time) until a path exists.
bool WaitForPath(const std::string& path, int timeout_ms);

}  // namespace kal::test
