// The accessibility back end of the installed platform state.
#include "1_platform/accessibility.h"

#include "1_platform/platform.h"

namespace kal {

// Made on first use (an installed platform is required, as main and every
// test program install one).
Accessibility& TheAccessibility() {
  Platform& p = *InstalledPlatform();
  if (!p.accessibility) p.accessibility = MakeHostAccessibility();
  return *p.accessibility;
}

void SetAccessibility(std::unique_ptr<Accessibility> a) {
  if (Platform* p = InstalledPlatform()) p->accessibility = std::move(a);
}

}  // namespace kal
