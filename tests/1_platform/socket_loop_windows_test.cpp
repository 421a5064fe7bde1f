// Winsock and the message event loop: loopback connections, receives that
// do not wait, posted tasks from other threads, and watched sockets.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "1_platform/event_loop.h"
#include "1_platform/file_lock.h"
#include "1_platform/socket.h"
#include "tests/support/temp_folder.h"

namespace kal {
namespace {

struct Pair {
  int listener = -1, client = -1, server = -1;
  ~Pair() {
    for (int s : {client, server, listener}) SockClose(s);
  }
};

void Connect(Pair* p) {
  p->listener = SockCreateTcp();
  ASSERT_GE(p->listener, 0);
  ASSERT_TRUE(SockBind(p->listener, kLoopbackAddress, 0, true));
  ASSERT_TRUE(SockListen(p->listener, 4));
  int port = SockLocalPort(p->listener);
  ASSERT_GT(port, 0);
  p->client = SockCreateTcp();
  ASSERT_EQ(SockConnectStart(p->client, kLoopbackAddress, static_cast<uint16_t>(port)) >= 0, true);
  p->server = SockAccept(p->listener);
  ASSERT_GE(p->server, 0);
  ASSERT_EQ(SockWaitWritable(p->client, 2000000), 1);
  ASSERT_TRUE(SockConnectResult(p->client));
}

TEST(WindowsSockets, LoopbackTalkAndReceivesThatDoNotWait) {
  Pair p;
  Connect(&p);
  char buf[16];
  EXPECT_EQ(SockRecvNoWait(p.server, buf, sizeof buf), kNothingYet);
  EXPECT_EQ(SockWaitReadable(p.server, 1000), 0);
  ASSERT_EQ(SockSend(p.client, "ola", 3), 3);
  EXPECT_EQ(SockWaitReadable(p.server, 2000000), 1);
  EXPECT_EQ(SockRecvNoWait(p.server, buf, sizeof buf), 3);
  uint32_t local = 0, peer = 0;
  EXPECT_TRUE(SockLocalAddress(p.client, &local));
  EXPECT_TRUE(SockPeerAddress(p.client, &peer));
  EXPECT_EQ(local, kLoopbackAddress);
  EXPECT_EQ(peer, kLoopbackAddress);
  SockShutdown(p.client);
  EXPECT_EQ(SockWaitReadable(p.server, 2000000), 1);
  EXPECT_EQ(SockRecvNoWait(p.server, buf, sizeof buf), 0);  // the end of the stream
  uint32_t address = 0;
  EXPECT_TRUE(SockLookupIPv4("127.0.0.1", &address));
  EXPECT_EQ(address, kLoopbackAddress);
  EXPECT_EQ(SockConnectLocal("C:\\qualquer"), -1);
}

TEST(WindowsSockets, ARefusedConnectionIsSeenAsFailed) {
  int probe = SockCreateTcp();
  ASSERT_TRUE(SockBind(probe, kLoopbackAddress, 0, false));
  int port = SockLocalPort(probe);
  SockClose(probe);  // nothing listens there now
  int s = SockCreateTcp();
  int started = SockConnectStart(s, kLoopbackAddress, static_cast<uint16_t>(port));
  if (started == 0) {
    EXPECT_EQ(SockWaitWritable(s, 5000000), 1);
    EXPECT_FALSE(SockConnectResult(s));
  } else {
    EXPECT_EQ(started, -1);
  }
  SockClose(s);
}

TEST(WindowsEventLoop, PostedTasksAndWatchedSocketsWakeTheWait) {
  auto loop = MakePollEventLoop();
  int64_t start = loop->NowMs();
  loop->Wait(30);
  EXPECT_GE(loop->NowMs() - start, 25);

  bool ran = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    loop->Post([&] { ran = true; });
  });
  start = loop->NowMs();
  loop->Wait(5000);
  poster.join();
  EXPECT_TRUE(ran);
  EXPECT_LT(loop->NowMs() - start, 4000);

  Pair p;
  Connect(&p);
  int ready = 0;
  loop->Watch(p.server, [&] {
    char buf[8];
    if (SockRecvNoWait(p.server, buf, sizeof buf) > 0) ++ready;
  });
  ASSERT_EQ(SockSend(p.client, "x", 1), 1);
  for (int i = 0; i < 100 && ready == 0; ++i) loop->Wait(50);
  EXPECT_EQ(ready, 1);
  loop->Unwatch(p.server);
  ASSERT_EQ(SockSend(p.client, "y", 1), 1);
  loop->Wait(50);
  EXPECT_EQ(ready, 1);
}

TEST(WindowsFileLock, OneHolderAtATimeAndAGivenUpWait) {
  test::TempFolder tmp;
  std::string file = tmp.path() + "\\Talven.ini";
  HostFileLock first(file);
  ASSERT_TRUE(first.held());
  bool other_held = true;
  // The lock is between processes and threads alike: another thread waits.
  std::thread other([&] {
    HostFileLock second(file, 100);
    other_held = second.held();
  });
  other.join();
  EXPECT_FALSE(other_held);
}

}  // namespace
}  // namespace kal
