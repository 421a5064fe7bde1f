// The system's screen-reader flag, which readers set while they run.
#include "1_platform/screen_reader.h"

#include <windows.h>

namespace kal {

bool ScreenReaderRunning() {
  BOOL on = FALSE;
  return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &on, 0) && on;
}

}  // namespace kal
