// The accessibility back end for tests: the test fires events (delivered
// to the sink at once, as the loop would), sets the object at a point, and
// can make the bus unreachable.
#pragma once

#include "1_platform/accessibility.h"

namespace kal {

class RecordingAccessibility : public Accessibility {
 public:
  bool Available() override { return available; }
  bool StartMonitoring(AccessibilitySink sink) override;
  void StopMonitoring() override;
  bool ObjectAtPoint(int x, int y, AccessibleProperties* out) override;

  // Delivers an event if monitoring is on.
  void Fire(const AccessibilityEvent& e);

  bool available = true;
  bool monitoring = false;
  int starts = 0, stops = 0;
  AccessibleProperties at_point;  // answered for any point inside it
  bool has_object_at_point = false;

 private:
  AccessibilitySink sink_;
};

}  // namespace kal
