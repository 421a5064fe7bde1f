// A Windows console shows the program's UTF-8 while the run lasts and its
// own code page again after it; lines written beside the run's screen (the
// help) show right in any code page, and go to a pipe as UTF-8.
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

// The console's first line as it shows it.
std::wstring FirstLine(HANDLE out, DWORD width) {
  std::wstring shown(width, L' ');
  DWORD n = 0;
  ReadConsoleOutputCharacterW(out, shown.data(), width, COORD{0, 0}, &n);
  shown.resize(n);
  return shown.substr(0, shown.find_last_not_of(L' ') + 1);
}

TEST(ConsoleCodePage, HelpTextShowsRightInTheConsolesOwnPageAndIsUtf8InAPipe) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (GetConsoleOutputCP() == 0 || !GetConsoleScreenBufferInfo(out, &info)) {
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    FreeConsole();
    GTEST_SKIP() << "this console has no code pages or screen (Wine without a display)";
  }
  SetConsoleOutputCP(850);
  WriteStandardText(1, "uso: kaldorin [OPÇÕES] — ação\n");
  EXPECT_EQ(FirstLine(out, static_cast<DWORD>(info.dwSize.X)), L"uso: kaldorin [OP\u00c7\u00d5ES] \u2014 a\u00e7\u00e3o");
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(out);
  FreeConsole();

  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
  SetStdHandle(STD_OUTPUT_HANDLE, write_end);
  WriteStandardText(1, "OPÇÕES\n");
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(write_end);
  char got[64];
  DWORD n = 0;
  ReadFile(read_end, got, sizeof got, &n, nullptr);
  CloseHandle(read_end);
  EXPECT_EQ(std::string(got, n), "OPÇÕES\n");
}

// What a console program writes comes in the system's OEM code page; a
// double-byte character cut by the pipe waits for its second byte.
TEST(ConsoleCodePage, ConsoleProgramTextIsReadInTheOemCodePage) {
  const wchar_t wide[] = L"caf\u00e9 \u00e7";
  char oem[16];
  int n = WideCharToMultiByte(GetOEMCP(), 0, wide, -1, oem, sizeof oem, nullptr, nullptr);
  ASSERT_GT(n, 1);
  std::string bytes(oem, static_cast<size_t>(n - 1));
  EXPECT_EQ(ConsoleProgramTextToUtf8(&bytes), "café ç");
  EXPECT_EQ(bytes, "");
}

}  // namespace
}  // namespace kal
