// The accessibility back end of a platform state.
#include "1_platform/accessibility.h"

#include "1_platform/platform.h"

namespace kal {

Accessibility& TheAccessibility(Platform& p) {
  if (!p.accessibility) p.accessibility = MakeHostAccessibility(p);
  return *p.accessibility;
}

void SetAccessibility(Platform& p, std::unique_ptr<Accessibility> a) { p.accessibility = std::move(a); }

}  // namespace kal
