// The headless front end on Windows reads standard input on a thread of
// its own; while a program started with the console runs, what arrives is
// that program's, not the front end's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "1_platform/console_frontend.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// What the front end has read, within five seconds.
std::string ReadFront(ConsoleFrontEnd& front) {
  char buf[16];
  for (int i = 0; i < 500; ++i) {
    int n = front.ReadInput(buf, sizeof buf);
    if (n > 0) return std::string(buf, static_cast<size_t>(n));
    Sleep(10);
  }
  return "";
}

// What the pipe holds, within five seconds.
std::string ReadPipe(HANDLE h) {
  for (int i = 0; i < 500; ++i) {
    DWORD avail = 0;
    if (PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
      char buf[16];
      DWORD n = 0;
      ReadFile(h, buf, std::min<DWORD>(avail, sizeof buf), &n, nullptr);
      return std::string(buf, n);
    }
    Sleep(10);
  }
  return "";
}

void Write(HANDLE h, const std::string& s) {
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, s.data(), static_cast<DWORD>(s.size()), &n, nullptr));
}

TEST(HeadlessInput, KeysGoToTheStartedProgramWhileItRunsAndBackAfter) {
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
  HANDLE saved = GetStdHandle(STD_INPUT_HANDLE);
  SetStdHandle(STD_INPUT_HANDLE, read_end);
  {
    auto front = MakeHeadlessFrontEnd(test::TestLoop(), 0, 1);
    Write(write_end, "a");
    EXPECT_EQ(ReadFront(*front), "a");  // the reader now sits in a read

    front->Suspend();
    HANDLE program_input = GetStdHandle(STD_INPUT_HANDLE);
    ASSERT_NE(program_input, read_end);
    Write(write_end, "\x1b");
    EXPECT_EQ(ReadPipe(program_input), "\x1b");
    char buf[4];
    EXPECT_EQ(front->ReadInput(buf, sizeof buf), 0);

    front->Resume();
    EXPECT_EQ(GetStdHandle(STD_INPUT_HANDLE), read_end);
    Write(write_end, "b");
    EXPECT_EQ(ReadFront(*front), "b");
  }
  SetStdHandle(STD_INPUT_HANDLE, saved);
  CloseHandle(write_end);  // the reader thread ends with the pipe
}

}  // namespace
}  // namespace kal
