// The console's clipboard: the desktop's when there is one, the program's
// own otherwise, with the capacity rules of a paste.
#include "6_console/clipboard.h"

#include <gtest/gtest.h>

#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

TEST(Clipboard, WithoutADesktopTheProgramsOwnClipboardServes) {
  ScopedEnv no_display("DISPLAY", std::nullopt);
  UseDesktopClipboard(test::Context().console);
  CopyToClipboard(test::Context().console, "linha \xE9");
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 100), "linha \xE9");
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 3), "li");
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 0), "");
  CopyToClipboard(test::Context().console, "");
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 100), "");
  SetClipboardBackend(test::Context().console, nullptr);
}

}  // namespace
}  // namespace kal::test
