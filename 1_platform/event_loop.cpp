#include "1_platform/event_loop.h"

namespace kal {

namespace {
std::unique_ptr<EventLoop> g_loop;
const LocalTime* g_pinned_time = nullptr;
}  // namespace

EventLoop& Loop() {
  if (!g_loop) g_loop = MakePollEventLoop();
  return *g_loop;
}

void SetLoop(std::unique_ptr<EventLoop> loop) { g_loop = std::move(loop); }

void PinLocalTimeForTest(const LocalTime* t) { g_pinned_time = t; }

LocalTime RealLocalTime();  // 1_platform/linux/local_time.cpp

LocalTime NowLocal() { return g_pinned_time ? *g_pinned_time : RealLocalTime(); }

}  // namespace kal
