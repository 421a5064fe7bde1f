// The radio player's control channel on Windows: a named pipe that the
// player serves and this side reads without ever waiting.
#include <windows.h>

#include <gtest/gtest.h>

#include "1_platform/control_channel.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

TEST(ControlChannel, ANamedPipeIsReadWithoutWaitingAndItsEndIsSeen) {
  std::string address = ControlChannelAddress("C:\\temp\\kaldorin-radio-teste" + std::to_string(GetCurrentProcessId()),
                                              "controle");
  EXPECT_EQ(address.rfind("\\\\.\\pipe\\kaldorin-radio-teste", 0), 0u) << address;
  EXPECT_EQ(ConnectControlChannel(address), nullptr);  // nobody listens yet

  HANDLE server = CreateNamedPipeW(Widen(address).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096,
                                   4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  auto channel = ConnectControlChannel(address);
  ASSERT_NE(channel, nullptr);
  char buf[64];
  EXPECT_EQ(channel->ReceiveNoWait(buf, sizeof buf), 0);  // nothing yet, and no wait for it

  DWORD n = 0;
  ASSERT_TRUE(WriteFile(server, "{\"event\":\"idle\"}\n", 17, &n, nullptr));
  ASSERT_EQ(channel->ReceiveNoWait(buf, sizeof buf), 17);
  EXPECT_EQ(std::string(buf, 17), "{\"event\":\"idle\"}\n");

  ASSERT_TRUE(channel->Send("{\"command\":[\"quit\"]}\n"));
  char got[64];
  ASSERT_TRUE(ReadFile(server, got, sizeof got, &n, nullptr));
  EXPECT_EQ(std::string(got, n), "{\"command\":[\"quit\"]}\n");

  CloseHandle(server);  // the player has ended
  EXPECT_LE(channel->ReceiveNoWait(buf, sizeof buf), 0);
  EXPECT_FALSE(channel->Send("x"));
}

}  // namespace
}  // namespace kal
