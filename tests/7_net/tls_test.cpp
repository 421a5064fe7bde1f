// TLS connections against a local server with a self-signed certificate.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "6_console/console.h"
#include "8_interpreter/console_net_user.h"
#include "7_net/line_reader.h"
#include "7_net/tcp.h"
#include "7_net/tls.h"
#include "1_platform/event_loop.h"
#include "1_platform/socket.h"
#include "tests/support/local_server.h"
#include "tests/support/memory_console.h"
#include "7_net/network.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// The case's network (tests/support/fresh_subsystems.h).
Network& Net() { return test::Context().network; }

using test::LocalServer;
using test::ServerConnection;

class TlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseMemoryConsole("", &console_);
    SetNetUser(Net(), &user_);
    ResetNetForTest(Net());
    SetTlsAvailableForTest(Net(), true);
  }
  void TearDown() override {
    ResetNetForTest(Net());
    SetTlsAvailableForTest(Net(), true);
  }
  ConsoleNetUser user_{test::Context().console};  // the network layer talks through the console
  std::string console_;
};

// Echoes each line back in upper case until the client closes.
void Echo(ServerConnection& c) {
  std::string line;
  while (c.ReadLine(&line)) {
    for (auto& ch : line) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    c.Send(line + "\r\n");
  }
}

TEST_F(TlsTest, SelfSignedServerIsAcceptedAndGetsTheHostAsServerName) {
  LocalServer server(Echo, true);
  int s = ConnectTls(Net(), "localhost", static_cast<uint16_t>(server.port()));
  ASSERT_GT(s, 0);
  EXPECT_TRUE(TlsCarries(Net(), s));
  EXPECT_TRUE(SendLine(Net(), s, "ola"));
  auto reader = NewLineReader(Net(), s);
  std::string line;
  EXPECT_TRUE(ReceiveLine(*reader, 5, &line));
  EXPECT_EQ(line, "OLA");
  CloseTcp(Net(), s);
  EXPECT_FALSE(TlsCarries(Net(), s));
  ASSERT_EQ(server.ServerNames().size(), 1u);
  EXPECT_EQ(server.ServerNames()[0], "localhost");
}

TEST_F(TlsTest, PeerEndingTheStreamIsSilent) {
  // One server says goodbye properly, the other just drops the connection.
  for (bool clean : {true, false}) {
    LocalServer server(
        [clean](ServerConnection& c) {
          c.Send("hi\n");
          if (!clean) SockShutdown(c.socket());
        },
        true);
    int s = ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
    ASSERT_GT(s, 0);
    auto reader = NewLineReader(Net(), s);
    std::string line;
    EXPECT_TRUE(ReceiveLine(*reader, 5, &line));
    EXPECT_EQ(line, "hi");
    EXPECT_FALSE(ReceiveLine(*reader, 5, &line));
    CloseTcp(Net(), s);
  }
  EXPECT_EQ(console_.find("Erro SSL"), std::string::npos);
}

TEST_F(TlsTest, ALineThatComesLateIsWaitedFor) {
  LocalServer server(
      [](ServerConnection& c) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        c.Send("tarde\r\n");
      },
      true);
  int s = ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(server.port()));
  ASSERT_GT(s, 0);
  auto reader = NewLineReader(Net(), s);
  std::string line;
  EXPECT_TRUE(ReceiveLine(*reader, 0, &line));
  EXPECT_EQ(line, "tarde");
  CloseTcp(Net(), s);
}

TEST_F(TlsTest, MissingCapabilityOrPlainPeerIsAFailedConnection) {
  LocalServer tls_server(Echo, true);
  SetTlsAvailableForTest(Net(), false);
  EXPECT_EQ(ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(tls_server.port())), -1);
  SetTlsAvailableForTest(Net(), true);

  LocalServer plain([](ServerConnection& c) { c.Send("HTTP/1.0 400 nope\r\n\r\n"); });
  EXPECT_EQ(ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(plain.port())), -1);
  EXPECT_FALSE(TlsPending(Net()));
  EXPECT_EQ(console_.find("SSL"), std::string::npos);
}

TEST_F(TlsTest, OneSessionAtATimeAndAFreshContextAfterClose) {
  LocalServer a(Echo, true), b(Echo, true);
  int before = TlsContextsMadeForTest(Net());
  int first = ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(a.port()));
  int second = ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(b.port()));
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  EXPECT_FALSE(TlsCarries(Net(), first));  // the earlier connection no longer carries TLS
  EXPECT_TRUE(TlsCarries(Net(), second));
  EXPECT_EQ(TlsContextsMadeForTest(Net()), before + 1);
  CloseTcp(Net(), first);
  EXPECT_TRUE(TlsCarries(Net(), second));
  CloseTcp(Net(), second);
  int third = ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(a.port()));
  EXPECT_GT(third, 0);
  EXPECT_EQ(TlsContextsMadeForTest(Net()), before + 2);
  CloseTcp(Net(), third);
}

}  // namespace
}  // namespace kal
