#include "1_platform/event_loop.h"

#include "1_platform/platform.h"

namespace kal {

namespace {
// Process-wide on its own, beside the platform's object: library threads
// post to the loop, and objects that end with the process still unwatch
// their descriptors while it ends.
std::unique_ptr<EventLoop> g_loop;
}  // namespace

EventLoop& Loop() {
  if (!g_loop) g_loop = MakePollEventLoop();
  return *g_loop;
}

void SetLoop(std::unique_ptr<EventLoop> loop) { g_loop = std::move(loop); }

LocalTime RealLocalTime();  // 1_platform/linux/local_time.cpp

LocalTime NowLocal() {
  Platform* p = InstalledPlatform();
  return p && p->pinned_time ? *p->pinned_time : RealLocalTime();
}

}  // namespace kal
