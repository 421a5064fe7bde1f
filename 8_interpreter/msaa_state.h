// What MSAA keeps between commands, as part of the interpreter: the events
// collected since MONITORA and the object last taken.
#pragma once

#include <array>
#include <memory>

#include "1_platform/accessibility.h"

namespace kal {

constexpr int kMsaaRingSize = 100;

// The events in a ring, the oldest overwritten when it is full. The
// accessibility layer's sink shares it, so that an event it delivers late
// (posted before FIM, or after the interpreter has gone) still finds it.
struct MsaaEvents {
  std::array<AccessibilityEvent, kMsaaRingSize> ring;
  int write = 0, read = 0;
  bool monitoring = false;
};

struct MsaaState {
  std::shared_ptr<MsaaEvents> events = std::make_shared<MsaaEvents>();
  AccessibleProperties current;
};

}  // namespace kal
