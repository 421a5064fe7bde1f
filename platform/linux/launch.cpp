// Detached start: a shell starts the program in the background with its
// input and output on /dev/null and exits at once, so that no child of ours
// is left to reap and the program does not draw over the console.
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

#include "platform/launch.h"

extern char** environ;

namespace kal {

namespace {
LaunchHook& Hook() {
  static LaunchHook h;
  return h;
}
}  // namespace

void SetLaunchHookForTest(LaunchHook hook) { Hook() = std::move(hook); }

bool LaunchDetached(const std::string& program, const std::vector<std::string>& args, std::string* err) {
  if (Hook()) return Hook()(program, args);
  std::vector<std::string> argv = {"/bin/sh", "-c", "command -v \"$1\" >/dev/null 2>&1 || exit 127; \"$@\" </dev/null >/dev/null 2>&1 &", "sh", program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, cargv.data(), environ);
  if (rc != 0) {
    if (err) *err = std::strerror(rc);
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
    if (err) *err = "program not found: " + program;
    return false;
  }
  return true;
}

}  // namespace kal
