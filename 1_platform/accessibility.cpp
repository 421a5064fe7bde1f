// The process-wide accessibility back end.
#include "1_platform/accessibility.h"

namespace kal {
namespace {

std::unique_ptr<Accessibility>& Current() {
  static std::unique_ptr<Accessibility> a;
  return a;
}

}  // namespace

Accessibility& TheAccessibility() {
  auto& a = Current();
  if (!a) a = MakeAtspiAccessibility();
  return *a;
}

void SetAccessibility(std::unique_ptr<Accessibility> a) { Current() = std::move(a); }

}  // namespace kal
