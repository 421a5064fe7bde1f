// The client's certificate check: servers signed by the test CA pass while
// the CA is trusted, and are refused (with the reason written and spoken)
// without that trust or for another host name, unless the user turned the
// check off in Talven.ini.
#include <gtest/gtest.h>

#include <filesystem>

#include "2_config/config.h"
#include "6_console/console.h"
#include "0_base/speech_log.h"
#include "8_interpreter/state.h"
#include "8_interpreter/console_net_user.h"
#include "7_net/http_download.h"
#include "7_net/line_reader.h"
#include "7_net/tcp.h"
#include "7_net/tls.h"
#include "1_platform/event_loop.h"
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

namespace fs = std::filesystem;
using test::CertNames;
using test::LocalServer;
using test::ServerConnection;

void Hello(ServerConnection& c) { c.Send("ola\r\n"); }

class TlsCertificateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseMemoryConsole("", &console_);
    SetNetUser(Net(), &user_);
    ResetNetForTest(Net());
    CaptureSpeechLog(test::Context().speech_log, true);
  }
  void TearDown() override {
    ResetNetForTest(Net());
  }
  // Connects and reads the greeting; "" when no connection was made.
  std::string Greeting(const char* host, const LocalServer& server) {
    ResetNetForTest(Net());  // a fresh context reads the trust store again
    int s = ConnectTls(Net(), host, static_cast<uint16_t>(server.port()));
    if (s < 0) return "";
    auto reader = NewLineReader(Net(), s);
    std::string line;
    ReceiveLine(*reader, 5, &line);
    CloseTcp(Net(), s);
    return line;
  }
  std::string Speech() {
    std::string s;
    for (auto& l : CapturedSpeech(test::Context().speech_log)) s += l + "\n";
    return s;
  }
  ConsoleNetUser user_{test::Context().console};  // the network layer talks through the console
  std::string console_;
  test::TalvenSandbox sandbox_;  // Talven.ini of this test only
};

TEST_F(TlsCertificateTest, TrustedChainAndMatchingNamesPass) {
  LocalServer server(Hello, true);
  EXPECT_TRUE(TlsChecksCertificates(test::Context().config));
  EXPECT_EQ(Greeting("localhost", server), "ola");
  EXPECT_EQ(Greeting("127.0.0.1", server), "ola");  // an address matches the certificate's address
  EXPECT_EQ(console_, "");
}

TEST_F(TlsCertificateTest, UntrustedIssuerIsRefusedWithTheReason) {
  LocalServer server(Hello, true);
  test::TempFolder empty;
  test::ScopedEnv file("SSL_CERT_FILE", empty / "none.pem");
  test::ScopedEnv dir("SSL_CERT_DIR", empty.path());
  EXPECT_EQ(Greeting("localhost", server), "");
  EXPECT_EQ(console_, "Certificado recusado: unable to get local issuer certificate\n");
  EXPECT_EQ(Speech(), "say Certificado recusado: unable to get local issuer certificate\n");
}

TEST_F(TlsCertificateTest, AnotherHostsCertificateIsRefused) {
  LocalServer server(Hello, true, CertNames::kOtherHost);
  EXPECT_EQ(Greeting("localhost", server), "");
  EXPECT_EQ(Greeting("127.0.0.1", server), "");
  EXPECT_EQ(console_, "Certificado recusado: hostname mismatch\nCertificado recusado: IP address mismatch\n");
}

TEST_F(TlsCertificateTest, TheSettingTurnsTheCheckOff) {
  LocalServer other(Hello, true, CertNames::kOtherHost);
  ASSERT_TRUE(WriteConfig(test::Context().config, cfg::kVerificaCertificado, "Nao"));
  EXPECT_FALSE(TlsChecksCertificates(test::Context().config));
  EXPECT_EQ(Greeting("localhost", other), "ola");
  test::TempFolder empty;
  test::ScopedEnv file("SSL_CERT_FILE", empty / "none.pem");
  EXPECT_EQ(Greeting("localhost", other), "ola");
  EXPECT_EQ(console_, "");
  ASSERT_TRUE(WriteConfig(test::Context().config, cfg::kVerificaCertificado, "Sim"));
  EXPECT_EQ(Greeting("localhost", other), "");
}

// The commands fail as for any connection that could not be made, after the
// reason was told.
TEST_F(TlsCertificateTest, CommandsReportARefusalAsAFailedConnection) {
  LocalServer other(Hello, true, CertNames::kOtherHost);
  std::string port = std::to_string(other.port());
  test::ScriptResult r = test::RunScriptText("conecta ssl #1 \"localhost\" " + port + " &\ncheca $s\nescreve $s\n");
  EXPECT_EQ(r.console, "Certificado recusado: hostname mismatch\n1\n");
  r = test::RunScriptText("conecta ssl #1 \"localhost\" " + port + "\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.console.rfind("Certificado recusado: hostname mismatch\nErro de conexao: localhost " + port + "\n", 0), 0u)
      << r.console;

  test::UseMemoryConsole("", &console_);
  SetNetUser(Net(), &user_);  // the runs' users went with their interpreters
  test::TempFolder dir;
  EXPECT_FALSE(Download(Net(), {"https://localhost:" + port + "/f", dir / "f.bin", false, "agente", ""}));
  EXPECT_EQ(console_, "Certificado recusado: hostname mismatch\n");
  EXPECT_FALSE(fs::exists(dir / "f.bin"));
}

}  // namespace
}  // namespace kal
