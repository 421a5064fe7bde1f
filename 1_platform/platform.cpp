#include "1_platform/platform.h"

#include "1_platform/accessibility.h"
#include "1_platform/audio.h"
#include "1_platform/automation.h"
#include "1_platform/desktop_connection.h"
#include "1_platform/mbrola.h"
#include "1_platform/parallel_port.h"
#include "1_platform/programs.h"

namespace kal {

Platform::Platform(EventLoop& run_loop) : loop(run_loop) {}
Platform::~Platform() = default;

}  // namespace kal
