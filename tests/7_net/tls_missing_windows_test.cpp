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
#include "7_net/network.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// The case's network (tests/support/fresh_subsystems.h).
Network& Net() { return test::Context().network; }

TEST(WindowsTls, MissingLibraryIsToldAndTheConnectionFails) {
  std::string console;
  test::UseMemoryConsole("", &console);
  ConsoleNetUser user{test::Context().console};
  SetNetUser(Net(), &user);
  ResetNetForTest(Net());
  test::LocalServer server([](test::ServerConnection&) {});
  EXPECT_EQ(ConnectTls(Net(), "127.0.0.1", static_cast<uint16_t>(server.port())), -1);
  EXPECT_NE(console.find(Latin1ToUtf8(L1("Conexão segura indisponível, biblioteca SSL ausente: libcrypto-3.dll"))),
            std::string::npos)
      << console;
  EXPECT_FALSE(TlsPending(Net()));
  ResetNetForTest(Net());
}

}  // namespace
}  // namespace kal
