// Without the TLS library's DLLs a secure connection fails at once, and the
// user hears why.
#include <gtest/gtest.h>

#include "0_base/latin1.h"
#include "6_console/console.h"
#include "7_net/tcp.h"
#include "7_net/tls.h"
#include "8_interpreter/console_net_user.h"
#include "1_platform/event_loop.h"
#include "tests/support/local_server.h"
#include "tests/support/memory_console.h"

namespace kal {
namespace {

TEST(WindowsTls, MissingLibraryIsToldAndTheConnectionFails) {
  SetLoop(MakeFakeEventLoop());
  std::string console;
  test::UseMemoryConsole("", &console);
  ConsoleNetUser user;
  SetNetUser(&user);
  ResetNetForTest();
  test::LocalServer server([](test::ServerConnection&) {});
  EXPECT_EQ(ConnectTls("127.0.0.1", static_cast<uint16_t>(server.port())), -1);
  EXPECT_NE(console.find(Latin1ToUtf8(L1("Conexão segura indisponível, biblioteca SSL ausente: libcrypto-3.dll"))),
            std::string::npos)
      << console;
  EXPECT_FALSE(TlsPending());
  ResetNetForTest();
}

}  // namespace
}  // namespace kal
