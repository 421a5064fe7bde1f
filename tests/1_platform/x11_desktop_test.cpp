// The X11 back ends under a private Xvfb: each platform state has a display
// connection of its own, which serves the clipboard while it is open and
// gives back the keycodes the automation bound when it closes.
#include <gtest/gtest.h>
// After the test framework, whose names the X headers' macros would take.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <memory>
#include <string>

#include "1_platform/automation.h"
#include "1_platform/desktop_clipboard.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "1_platform/unavailable_backends.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb_display.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

test::XvfbDisplay* g_x = nullptr;

class X11DesktopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_x = new test::XvfbDisplay;
    if (!g_x->Start()) {
      delete g_x;
      g_x = nullptr;
    }
  }
  static void TearDownTestSuite() {
    delete g_x;
    g_x = nullptr;
  }

  void SetUp() override {
    if (!g_x) GTEST_SKIP() << "Xvfb is not available";
    display_ = std::make_unique<test::ScopedEnv>("DISPLAY", g_x->name());
    test::UseRealLoop();
  }

  // The keysym at a keycode's first level, read on a connection of the
  // test's own.
  static KeySym SymAt(int code) {
    Display* d = XOpenDisplay(g_x->name().c_str());
    int per = 0;
    KeySym* syms = XGetKeyboardMapping(d, static_cast<KeyCode>(code), 1, &per);
    KeySym sym = syms && per > 0 ? syms[0] : NoSymbol;
    if (syms) XFree(syms);
    XCloseDisplay(d);
    return sym;
  }

  std::unique_ptr<test::ScopedEnv> display_;
};

TEST_F(X11DesktopTest, AnotherPlatformStateReadsTheTextTheFirstOwnsWholeAndIncrementally) {
  Platform owner_state(test::TestLoop());
  std::unique_ptr<DesktopClipboard> owner = MakeX11Clipboard(owner_state);
  ASSERT_EQ(StandInReason(*owner), "");
  std::string big(300 * 1024, 'a');  // past one request: sent by INCR
  big[0] = '\xE9';
  for (const std::string& text : {std::string("linha \xE9"), big}) {
    ASSERT_TRUE(owner->Put(text));
    std::string got;
    {
      // The reader's own connection: the owner answers from its own, which
      // the loop watches while the reader waits.
      Platform reader_state(test::TestLoop());
      std::unique_ptr<DesktopClipboard> reader = MakeX11Clipboard(reader_state);
      ASSERT_EQ(StandInReason(*reader), "");
      ASSERT_TRUE(reader->Get(&got, text.size()));
    }
    EXPECT_EQ(got, text);
    std::string own;
    EXPECT_TRUE(owner->Get(&own, 5));
    EXPECT_EQ(own, text.substr(0, 5));
  }
}

TEST_F(X11DesktopTest, SpareKeycodesAreBoundForTheRunAndGivenBackWhenTheStateGoes) {
  LayoutKey key;
  {
    Platform state(test::TestLoop());
    std::unique_ptr<DesktopAutomation> desktop = MakeX11Automation(state);
    ASSERT_EQ(desktop->Availability(), DesktopAvailability::kReady);
    // Not on the server's layout: a spare keycode is bound to it.
    ASSERT_TRUE(desktop->KeyForCharacter(0xE9, &key));
    EXPECT_FALSE(key.shift);
    EXPECT_EQ(SymAt(key.key), static_cast<KeySym>(XK_eacute));
    LayoutKey again;
    ASSERT_TRUE(desktop->KeyForCharacter(0xE9, &again));  // found on the layout now
    EXPECT_EQ(again.key, key.key);
  }
  EXPECT_EQ(SymAt(key.key), static_cast<KeySym>(NoSymbol));
}

// Opening the display posts a look at Xlib's queue to the loop, which
// outlives the platform state: when the state (and its connection) goes
// first, the look finds nothing to look at.
TEST_F(X11DesktopTest, AConnectionThatGoesBeforeItsPostedLookLeavesNothingToRun) {
  {
    Platform state(test::TestLoop());
    std::unique_ptr<DesktopAutomation> desktop = MakeX11Automation(state);
    ASSERT_EQ(desktop->Availability(), DesktopAvailability::kReady);
  }
  test::TestLoop().Wait(0);
  Platform again(test::TestLoop());
  EXPECT_EQ(MakeX11Automation(again)->Availability(), DesktopAvailability::kReady);
  test::TestLoop().Wait(0);
}

TEST_F(X11DesktopTest, WithoutADisplayThereIsNoClipboardAndNoDesktop) {
  test::ScopedEnv no_display("DISPLAY", std::nullopt);
  test::ScopedEnv no_wayland("WAYLAND_DISPLAY", std::nullopt);
  Platform state(test::TestLoop());
  EXPECT_EQ(StandInReason(*MakeX11Clipboard(state)), "não há tela");
  EXPECT_EQ(MakeX11Automation(state)->Availability(), DesktopAvailability::kNoDisplay);
}

}  // namespace
}  // namespace kal
