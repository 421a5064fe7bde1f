#include "1_platform/event_loop.h"

#include "1_platform/platform.h"

namespace kal {

LocalTime RealLocalTime();  // 1_platform/linux/local_time.cpp

LocalTime NowLocal() {
  Platform* p = InstalledPlatform();
  return p && p->pinned_time ? *p->pinned_time : RealLocalTime();
}

}  // namespace kal
