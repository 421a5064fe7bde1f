#include "1_platform/platform.h"

#include "1_platform/accessibility.h"
#include "1_platform/audio.h"
#include "1_platform/automation.h"
#include "1_platform/desktop_connection.h"
#include "1_platform/mbrola.h"
#include "1_platform/parallel_port.h"
#include "1_platform/programs.h"

namespace kal {
namespace {

// Process-wide because every layer above reaches the platform's services
// through free functions (a wait, a stop request, a started program), as the
// one thread and the signal handler's end of a run require.
Platform* g_platform = nullptr;

}  // namespace

Platform::Platform(EventLoop& run_loop) : loop(run_loop) {}
Platform::~Platform() = default;

Platform* InstalledPlatform() { return g_platform; }

ScopedPlatform::ScopedPlatform(Platform& platform) : previous_(g_platform) { g_platform = &platform; }

ScopedPlatform::~ScopedPlatform() { g_platform = previous_; }

}  // namespace kal
