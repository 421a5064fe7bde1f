#include <windows.h>

#include "1_platform/event_loop.h"

namespace kal {

LocalTime RealLocalTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond,
                   t.wMilliseconds / 10};
}

}  // namespace kal
