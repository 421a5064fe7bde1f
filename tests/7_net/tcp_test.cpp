// TCP connections, the line reader and the readiness timeout, against
// servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "6_console/console.h"
#include "7_net/line_reader.h"
#include "7_net/tcp.h"
#include "1_platform/event_loop.h"
#include "1_platform/socket.h"
#include "tests/support/local_server.h"
#include "tests/support/posix_shims.h"
#include "tests/support/memory_console.h"
#include "tests/support/temp_folder.h"
#include "7_net/network.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// The case's network (tests/support/fresh_subsystems.h).
Network& Net() { return test::Context().network; }

using test::LocalServer;
using test::ServerConnection;

class TcpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseMemoryConsole("", &console_);
    ResetNetForTest(Net());
    SetNetTimeoutSetting(Net(), nullptr);
  }
  void TearDown() override { SetNetTimeoutSetting(Net(), nullptr); }

  // Connects to a server that sends bytes and closes; returns the lines
  // read until the first failure, each with its result.
  std::vector<std::string> LinesFrom(const std::string& bytes) {
    LocalServer server([bytes](ServerConnection& c) { c.Send(bytes); });
    int s = ConnectTcp(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
    EXPECT_GE(s, 0);
    auto reader = NewLineReader(Net(), s);
    std::vector<std::string> lines;
    std::string line;
    for (int i = 0; i < 10; ++i) {
      bool ok = ReceiveLine(*reader, 5, &line);
      lines.push_back((ok ? "+" : "-") + line);
      if (!ok) break;
    }
    CloseTcp(Net(), s);
    return lines;
  }

  std::string console_;
};

TEST_F(TcpTest, DottedAddressRule) {
  EXPECT_TRUE(IsDottedAddress("192.168.0.1"));
  EXPECT_TRUE(IsDottedAddress("0.0.0.0"));
  EXPECT_FALSE(IsDottedAddress("192.168.0"));
  EXPECT_FALSE(IsDottedAddress("192.168.0.256"));
  EXPECT_FALSE(IsDottedAddress("192.168.0.1x"));
  EXPECT_FALSE(IsDottedAddress(".1.2.3.4"));
  EXPECT_FALSE(IsDottedAddress("1..2.3.4"));
  EXPECT_FALSE(IsDottedAddress("1.2.3.4."));
  EXPECT_FALSE(IsDottedAddress("1.2.3.0001"));
  EXPECT_FALSE(IsDottedAddress("100.100.100.1000"));  // longer than 15
  EXPECT_FALSE(IsDottedAddress("localhost"));
}

TEST_F(TcpTest, ResolvesDottedNamesAndRefusesTheRest) {
  EXPECT_EQ(ResolveHost("10.1.2.3"), 0x0A010203u);
  EXPECT_EQ(ResolveHost("localhost"), 0x7F000001u);
  EXPECT_EQ(ResolveHost(""), 0u);
  EXPECT_EQ(ResolveHost(std::string(129, 'a')), 0u);
  // A name with only an IPv6 address is a failed look-up. (Not ip6-localhost:
  // the C library answers 127.0.0.1 for the ::1 of /etc/hosts.)
  EXPECT_EQ(ResolveHost("ip6-allnodes"), 0u);
  EXPECT_EQ(ResolveHost("no-such-host.invalid"), 0u);
}

TEST_F(TcpTest, LineEndingsAndTheEndOfTheStream) {
  EXPECT_EQ(LinesFrom("ab\r\n"), (std::vector<std::string>{"+ab", "-"}));
  EXPECT_EQ(LinesFrom("ab"), (std::vector<std::string>{"+ab", "-"}));
  EXPECT_EQ(LinesFrom(""), (std::vector<std::string>{"-"}));
  EXPECT_EQ(LinesFrom("\n"), (std::vector<std::string>{"+", "-"}));
  // Only the CR right before the end of the line goes.
  EXPECT_EQ(LinesFrom("a\rb\r\r\nc\n"), (std::vector<std::string>{"+a\rb\r", "+c", "-"}));
}

TEST_F(TcpTest, LongLinesCrossRefillsAndOverlongOnesEndTheRead) {
  std::string big(5000, 'x');
  EXPECT_EQ(LinesFrom(big + "\r\nend\n"), (std::vector<std::string>{"+" + big, "+end", "-"}));

  LocalServer server([](ServerConnection& c) {
    std::string chunk(65536, 'y');
    while (!c.Stopping() && c.Send(chunk)) {
    }
  });
  int s = ConnectTcp(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
  auto reader = NewLineReader(Net(), s);
  std::string line;
  EXPECT_EQ(ReceiveLineResult(*reader, 0, &line), LineResult::kTooLong);
  EXPECT_LE(line.size(), kMaxReceivedLine);
  CloseTcp(Net(), s);
}

TEST_F(TcpTest, ReceiveLineGivesUpAfterItsSeconds) {
  LocalServer server([](ServerConnection& c) {
    c.Send("partial");
    while (!c.Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  int s = ConnectTcp(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
  auto reader = NewLineReader(Net(), s);
  std::string line;
  int64_t start = test::TestLoop().NowMs();
  EXPECT_EQ(ReceiveLineResult(*reader, 1, &line), LineResult::kTimeout);
  EXPECT_EQ(line, "partial");  // what was collected stays
  EXPECT_GE(test::TestLoop().NowMs() - start, 1000);
  CloseTcp(Net(), s);
}

TEST_F(TcpTest, ReadinessTimeoutComesFromTheSettingAtConnect) {
  LocalServer server([](ServerConnection& c) { c.ReadAll(); });
  EXPECT_EQ(ReadinessTimeoutUs(Net()), 0);  // a server-side read only polls
  auto connect_with = [&](const char* setting) {
    SetNetTimeoutSetting(Net(), [setting] { return std::string(setting); });
    int s = ConnectTcp(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
    CloseTcp(Net(), s);
    return ReadinessTimeoutUs(Net());
  };
  EXPECT_EQ(connect_with("abc"), 20000);
  EXPECT_EQ(connect_with(""), 20000);
  EXPECT_EQ(connect_with("5000"), 5000);
  // Without a test's setting the configuration file is read.
  SetNetTimeoutSetting(Net(), nullptr);
  auto dir = std::filesystem::temp_directory_path() / "kaldorin-net-config";
  std::filesystem::create_directories(dir / "Talven");
  std::ofstream(dir / "Talven" / "Talven.ini") << "[TALVEN]\r\nTIMEOUT_REDE=7000\r\n";
  {
    test::ScopedEnv home("XDG_CONFIG_HOME", dir.string());
    int s = ConnectTcp(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
    CloseTcp(Net(), s);
    EXPECT_EQ(ReadinessTimeoutUs(Net()), 7000);
  }
  std::filesystem::remove_all(dir);
}

TEST_F(TcpTest, ServerSideAcceptSendAndAddresses) {
  int listener = ListenTcp(0);
  ASSERT_GE(listener, 0);
  uint16_t port = static_cast<uint16_t>(SockLocalPort(listener));
  EXPECT_EQ(ListenTcp(port), -1);  // the port is taken
  std::string echoed;
  std::thread client([&] {
    int c = SockCreateTcp();
    SockConnect(c, kLoopbackAddress, port);
    SockSend(c, "hello\r\n", 7);
    char buf[64];
    long n;
    while ((n = SockRecv(c, buf, sizeof buf)) > 0) echoed.append(buf, static_cast<size_t>(n));
    SockClose(c);
  });
  int s = AcceptTcp(Net(), listener);
  CloseTcp(Net(), listener);
  ASSERT_GE(s, 0);
  auto reader = NewLineReader(Net(), s);
  std::string line;
  EXPECT_TRUE(ReceiveLine(*reader, 0, &line));
  EXPECT_EQ(line, "hello");
  EXPECT_EQ(PeerAddressText(s), "127.0.0.1");
  EXPECT_EQ(LocalAddressText(s), "127.0.0.1");
  EXPECT_EQ(LocalAddressText(-1), "0.0.0.0");
  EXPECT_TRUE(SendLine(Net(), s, "back"));
  EXPECT_FALSE(SendText(Net(), s, ""));
  CloseTcp(Net(), s);
  client.join();
  EXPECT_EQ(echoed, "back\r\n");
}

TEST_F(TcpTest, ConnectFailures) {
  LocalServer server([](ServerConnection&) {});
  uint16_t port = static_cast<uint16_t>(server.port());
  int s = ConnectTcp(Net(), "127.0.0.1", port);
  EXPECT_GE(s, 0);
  CloseTcp(Net(), s);
  int listener = ListenTcp(0);
  uint16_t closed_port = static_cast<uint16_t>(SockLocalPort(listener));
  CloseTcp(Net(), listener);
  EXPECT_EQ(ConnectTcp(Net(), "127.0.0.1", closed_port), -1);
  EXPECT_EQ(ConnectTcp(Net(), "no-such-host.invalid", port), -1);
}

}  // namespace
}  // namespace kal
