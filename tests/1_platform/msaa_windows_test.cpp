// The classic accessibility interface on a window of standard controls of
// our own: the focus event names the control that took the focus, and the
// object under a point is the control drawn there.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "1_platform/accessibility.h"
#include "1_platform/platform.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

constexpr int kClient = 10;

void PumpFor(DWORD ms, const std::function<bool()>& done) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

TEST(Msaa, FocusEventsAndTheObjectAtAPointNameStandardControls) {
  HWND top = CreateWindowExW(0, L"STATIC", L"Janela de teste", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200,
                             nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(top, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"Ligar", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 20, 20,
                                120, 40, top, nullptr, nullptr, nullptr);
  HWND check = CreateWindowExW(0, L"BUTTON", L"Som", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP, 20, 80,
                               120, 30, top, nullptr, nullptr, nullptr);
  ASSERT_TRUE(button && check);
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  PumpFor(300, [] { return false; });

  Platform platform(test::TestLoop());  // the back end is kept in it
  SetAccessibility(platform, MakeHostAccessibility(platform));
  ASSERT_TRUE(TheAccessibility(platform).Available());
  std::vector<AccessibilityEvent> events;
  ASSERT_TRUE(TheAccessibility(platform).StartMonitoring([&](const AccessibilityEvent& e) { events.push_back(e); }));
  auto focused = [&](const std::string& name) {
    for (const auto& e : events)
      if (e.kind == AccessibilityEventKind::kFocus && e.have_object && e.object.name == name) return &e;
    return static_cast<const AccessibilityEvent*>(nullptr);
  };
  SetFocus(button);
  PumpFor(3000, [&] { return focused("Ligar") != nullptr; });
  ASSERT_NE(focused("Ligar"), nullptr) << events.size() << " events";
  // Windows names the kind of each standard control (43 push button, 44
  // check box); Wine's oleacc calls every one a client area (10).
  EXPECT_TRUE(focused("Ligar")->object.role_code == 43 || focused("Ligar")->object.role_code == kClient);
  SetFocus(check);
  PumpFor(3000, [&] { return focused("Som") != nullptr; });
  ASSERT_NE(focused("Som"), nullptr);
  const AccessibleProperties& box = focused("Som")->object;
  EXPECT_TRUE((box.role_code == 44 && box.checked) || box.role_code == kClient);

  RECT r;
  GetWindowRect(button, &r);
  AccessibleProperties at;
  ASSERT_TRUE(TheAccessibility(platform).ObjectAtPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2, &at));
  EXPECT_EQ(at.name, "Ligar");
  EXPECT_EQ(at.left, r.left);
  EXPECT_EQ(at.width, r.right - r.left);

  TheAccessibility(platform).StopMonitoring();
  size_t seen = events.size();
  SetFocus(button);
  PumpFor(200, [] { return false; });
  EXPECT_EQ(events.size(), seen);  // no events once monitoring stopped
  DestroyWindow(top);
}

}  // namespace
}  // namespace kal
