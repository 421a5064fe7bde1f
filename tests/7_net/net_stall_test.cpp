// Peers that stop half-way: a TLS record cut off in the middle, a handshake
// that never completes, a connect that is never answered. Every such wait
// ends at its limit or when the user stops it, and a connection line that
// passes the reader's limit is told apart from a closed connection.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "6_console/console.h"
#include "8_interpreter/state.h"
#include "8_interpreter/console_net_user.h"
#include "7_net/http_download.h"
#include "7_net/line_reader.h"
#include "7_net/net_wait.h"
#include "7_net/tcp.h"
#include "1_platform/event_loop.h"
#include "1_platform/socket.h"
#include "tests/support/local_server.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
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

// The header of an application-data record that promises 64 bytes, and 3
// of them: the client holds an incomplete record.
const std::string kPartialRecord("\x17\x03\x03\x00\x40" "abc", 8);
// The same for a handshake record, sent before any handshake happened.
const std::string kPartialHandshake("\x16\x03\x03\x00\x40" "abc", 8);

void HoldUntilStopping(ServerConnection& c) {
  while (!c.Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

class NetStallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseMemoryConsole("", &console_);
    SetNetUser(Net(), &user_);
    ResetNetForTest(Net());
  }
  void TearDown() override {
    SetSilenceLimitForTest(Net(), 0);
    ResetNetForTest(Net());
  }
  bool Get(const std::string& url) { return Download(Net(), {url, folder_ / "alvo.bin", false, "agente", ""}); }
  ConsoleNetUser user_{test::Context().console};  // the network layer talks through the console
  std::string console_;
  test::TempFolder folder_;
};

TEST_F(NetStallTest, TlsRecordCutOffEndsAtTheLimitOrWhenStopped) {
  LocalServer server(
      [](ServerConnection& c) {
        c.Send("inteira\r\n");
        SockSend(c.socket(), kPartialRecord.data(), kPartialRecord.size());  // past TLS: a broken record
        HoldUntilStopping(c);
      },
      true);
  int s = ConnectTls(Net(), "localhost", static_cast<uint16_t>(server.port()));
  ASSERT_GT(s, 0);
  auto reader = NewLineReader(Net(), s);
  std::string line;
  ASSERT_EQ(ReceiveLineResult(*reader, 1, &line), LineResult::kLine);
  EXPECT_EQ(line, "inteira");
  int64_t start = test::TestLoop().NowMs();
  EXPECT_EQ(ReceiveLineResult(*reader, 1, &line), LineResult::kTimeout);
  EXPECT_GE(test::TestLoop().NowMs() - start, 1000);
  int asked = 0;
  EXPECT_EQ(ReceiveLineResult(*reader, 0, &line, [&] { return ++asked == 3; }), LineResult::kStopped);
  EXPECT_EQ(asked, 3);
  CloseTcp(Net(), s);
}

TEST_F(NetStallTest, HandshakeStalledInARecordIsStoppedWithEscAndS) {
  LocalServer server([](ServerConnection& c) {
    c.Send(kPartialHandshake);
    HoldUntilStopping(c);
  });
  PushKeyBytes(test::Context().console, "\x1bS");
  auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(Get(server.Url("/r", true)));
  EXPECT_EQ(console_, "Deseja parar o download?\nS\nO download foi interrompido.\n");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(NetStallTest, HandshakeStalledInARecordEndsAtTheSilenceLimit) {
  LocalServer server([](ServerConnection& c) {
    c.Send(kPartialHandshake);
    HoldUntilStopping(c);
  });
  SetSilenceLimitForTest(Net(), 700);
  PushKeyBytes(test::Context().console, "\x1bn");  // asked, and told to go on
  int64_t start = test::TestLoop().NowMs();
  EXPECT_FALSE(Get(server.Url("/r", true)));
  EXPECT_GE(test::TestLoop().NowMs() - start, 700);
  EXPECT_EQ(console_, "Deseja parar o download?\nn\n");
}

// A listener that never accepts and whose queue is full leaves further
// connects unanswered (their SYNs are dropped), as a far host that does not
// answer would.
TEST_F(NetStallTest, UnansweredConnectEndsAtTheLimitOrWhenStopped) {
  int listener = SockCreateTcp();
  ASSERT_TRUE(SockBind(listener, kLoopbackAddress, 0, true));
  ASSERT_TRUE(SockListen(listener, 0));
  uint16_t port = static_cast<uint16_t>(SockLocalPort(listener));
  SetSilenceLimitForTest(Net(), 300);
  std::vector<int> queued;
  for (int i = 0; i < 4; ++i) {
    int s = ConnectTcp(Net(), "127.0.0.1", port);
    if (s >= 0) queued.push_back(s);
  }
  ASSERT_LT(queued.size(), 4u) << "the queue never filled";
  SetSilenceLimitForTest(Net(), 0);
  int asked = 0;
  int64_t start = test::TestLoop().NowMs();
  EXPECT_EQ(ConnectTcp(Net(), "127.0.0.1", port, [&] { return ++asked == 2; }), -1);
  EXPECT_EQ(asked, 2);
  EXPECT_LT(test::TestLoop().NowMs() - start, 1000);
  for (int s : queued) CloseTcp(Net(), s);
  SockClose(listener);
}

// SERVE's wait for a client has no time limit, but it takes keys while it
// waits and ends when asked; a client that comes is accepted.
TEST_F(NetStallTest, AcceptWaitsUntilAClientComesOrItIsStopped) {
  int listener = ListenTcp(0);
  ASSERT_GE(listener, 0);
  uint16_t port = static_cast<uint16_t>(SockLocalPort(listener));
  int asked = 0;
  EXPECT_EQ(AcceptTcp(Net(), listener, [&] { return ++asked == 3; }), -1);
  EXPECT_EQ(asked, 3);
  int client = SockCreateTcp();
  ASSERT_TRUE(SockConnect(client, kLoopbackAddress, port));
  int served = AcceptTcp(Net(), listener, [] { return true; });  // ready at once: no stop asked
  EXPECT_GE(served, 0);
  CloseTcp(Net(), served);
  SockClose(client);
  CloseTcp(Net(), listener);
}

// LE of a line longer than the reader holds: status 2 with the first part,
// the connection stays open and the rest comes with the next LE.
TEST_F(NetStallTest, OverlongConnectionLineIsItsOwnStatus) {
  LocalServer server([](ServerConnection& c) {
    c.Send(std::string(kMaxReceivedLine + 10, 'a') + "\r\nseguinte\r\n");
    HoldUntilStopping(c);
  });
  test::ScriptResult r = test::RunScriptText(
      "conecta #1 \"127.0.0.1\" " + std::to_string(server.port()) + "\n" +
      "le #1 $longa\ncheca $s1\nle #1 $resto\ncheca $s2\nle #1 $prox\ncheca $s3\n"
      "seja $n tamanho $longa\nescreve $s1 \" \" $n \" \" $s2 \" \" $resto \" \" $s3 \" \" $prox\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("2 1048576 0 aaaaaaaaaa 0 seguinte\n"), std::string::npos) << r.console;
}

}  // namespace
}  // namespace kal
