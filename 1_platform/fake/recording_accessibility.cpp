#include "1_platform/fake/recording_accessibility.h"

namespace kal {

bool RecordingAccessibility::StartMonitoring(AccessibilitySink sink) {
  if (!available) return false;
  sink_ = std::move(sink);
  monitoring = true;
  ++starts;
  return true;
}

void RecordingAccessibility::StopMonitoring() {
  monitoring = false;
  ++stops;
}

bool RecordingAccessibility::ObjectAtPoint(int x, int y, AccessibleProperties* out) {
  const auto& p = at_point;
  if (!has_object_at_point || x < p.left || y < p.top || x >= p.left + p.width || y >= p.top + p.height)
    return false;
  *out = p;
  return true;
}

void RecordingAccessibility::Fire(const AccessibilityEvent& e) {
  if (monitoring && sink_) sink_(e);
}

}  // namespace kal
