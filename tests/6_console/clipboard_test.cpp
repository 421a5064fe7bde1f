// The console's clipboard: the desktop's when there is one, the program's
// own otherwise, with the capacity rules of a paste.
#include "6_console/clipboard.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

TEST(Clipboard, WithoutADesktopTheProgramsOwnClipboardServes) {
  ScopedEnv no_display("DISPLAY", std::nullopt);
  UseDesktopClipboard();
  CopyToClipboard("linha \xE9");
  EXPECT_EQ(PasteFromClipboard(100), "linha \xE9");
  EXPECT_EQ(PasteFromClipboard(3), "li");
  EXPECT_EQ(PasteFromClipboard(0), "");
  CopyToClipboard("");
  EXPECT_EQ(PasteFromClipboard(100), "");
  SetClipboardBackend(nullptr);
}

}  // namespace
}  // namespace kal::test
