#include <sys/time.h>
#include <time.h>

#include "1_platform/event_loop.h"

namespace kal {

LocalTime RealLocalTime() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm t{};
  localtime_r(&tv.tv_sec, &t);
  return LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_wday,
                   t.tm_hour,        t.tm_min,     t.tm_sec,  static_cast<int>(tv.tv_usec / 10000)};
}

}  // namespace kal
