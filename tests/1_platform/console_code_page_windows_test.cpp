// A Windows console shows the program's UTF-8 while the run lasts and its
// own code page again after it.
#include <windows.h>

#include <gtest/gtest.h>

#include "1_platform/console_code_page.h"

namespace kal {
namespace {

TEST(ConsoleCodePage, AConsoleIsUtf8ForTheRunAndItsOwnPageAfter) {
  FreeConsole();  // a test program under CTest shares its runner's, or has none
  ASSERT_TRUE(AllocConsole());
  HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  if (GetConsoleOutputCP() == 0) {
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    FreeConsole();
    GTEST_SKIP() << "this console has no code pages (Wine without a display)";
  }
  ASSERT_TRUE(SetConsoleOutputCP(850));
  {
    ConsoleCodePage page;
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
  }
  EXPECT_EQ(GetConsoleOutputCP(), 850u);
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(out);
  FreeConsole();
}

}  // namespace
}  // namespace kal
