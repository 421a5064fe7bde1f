#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "1_platform/process.h"

namespace kal {
namespace {
std::vector<std::function<void()>>& Cleanups() {
  static std::vector<std::function<void()>> v;
  return v;
}
volatile sig_atomic_t g_end_requested = 0;

std::function<void(int)>& Hook() {
  static std::function<void(int)> h;
  return h;
}
}  // namespace

void AtProgramExit(std::function<void()> cleanup) { Cleanups().push_back(std::move(cleanup)); }

void RequestEnd() { g_end_requested = 1; }
bool EndRequested() { return g_end_requested != 0; }

void SetExitHook(std::function<void(int)> hook) { Hook() = std::move(hook); }

void ExitProgram(int code) {
  auto cleanups = std::move(Cleanups());
  Cleanups().clear();
  for (auto it = cleanups.rbegin(); it != cleanups.rend(); ++it) (*it)();
  if (Hook()) Hook()(code);
  fflush(nullptr);
  _exit(code);
}

}  // namespace kal
