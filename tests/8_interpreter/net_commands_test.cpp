// The network commands run from scripts against local servers. The state a
// run leaves (channels, last status) is looked at directly afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <fstream>
#include <thread>

#include "8_interpreter/state.h"
#include "7_net/tcp.h"
#include "1_platform/socket.h"
#include "tests/support/local_server.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "7_net/network.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// The case's network (tests/support/fresh_subsystems.h).
Network& Net() { return test::Context().network; }

namespace fs = std::filesystem;
using test::LocalServer;
using test::Reply;
using test::ScriptResult;
using test::ServerConnection;

// Echoes each line back in upper case until the client closes.
void Echo(ServerConnection& c) {
  std::string line;
  while (c.ReadLine(&line)) {
    for (auto& ch : line) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    if (!c.Send(line + "\r\n")) break;
  }
}

std::string P(const LocalServer& s) { return std::to_string(s.port()); }

// A port where nobody listens.
std::string ClosedPort() {
  int l = ListenTcp(0);
  int port = SockLocalPort(l);
  CloseTcp(Net(), l);
  return std::to_string(port);
}

class NetCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetNetForTest(Net()); }
  void TearDown() override {
    in_.reset();
    ResetNetForTest(Net());
  }

  // Each run has a fresh interpreter, kept until the next run so that the
  // test can look at what the run left in it.
  ScriptResult RunScriptText(const std::string& script, const std::string& keys = "") {
    in_ = std::make_unique<InterpreterState>();
    return test::RunScriptIn(*in_, script, keys);
  }

  Channel& Ch(int d) { return in_->channels[d]; }

  // A line through channel d's connection, as ESCREVE and LE move it.
  std::string RoundTrip(int d, const std::string& text) {
    if (!Ch(d).stream || Ch(d).stream->Write(text + "\r\n") != 1) return "(not sent)";
    std::string line;
    return Ch(d).stream->ReadLine(&line) == 0 ? line : "(nothing)";
  }

  std::unique_ptr<InterpreterState> in_;
};

TEST_F(NetCommandsTest, QuietConnectStatuses) {
  LocalServer server(Echo);
  RunScriptText("conecta #1 \"127.0.0.1\" " + ClosedPort() + " &\n");
  EXPECT_EQ(in_->last_status, 1);
  EXPECT_FALSE(Ch(1).open());
  RunScriptText("conecta #1 \"127.0.0.1\" \"abc\" &\n");
  EXPECT_EQ(in_->last_status, 2);
  RunScriptText("conecta #1 \"127.0.0.1\" " + P(server) + " &\n");
  EXPECT_EQ(in_->last_status, 0);
  EXPECT_EQ(Ch(1).kind, ChannelKind::kConnection);
  EXPECT_EQ(RoundTrip(1, "ola"), "OLA");
}

TEST_F(NetCommandsTest, LineTrafficThroughTheChannelCommands) {
  LocalServer tls(Echo, true), plain(Echo);
  ScriptResult r = RunScriptText(
      "conecta ssl #1 \"localhost\" " + P(tls) + " &\n" +
      "escreve #1 \"ola \" \"mundo\"\n"
      "checa $enviado\n"
      "le #1 $linha\n"
      "checa $lido\n"
      "fecha #1\n"
      "conecta #2 \"127.0.0.1\" " + P(plain) + "\n" +  // plain again after FECHA
      "escreve #2 \"sem tls\"\n"
      "le #2 $outra\n"
      "fecha #2\n"
      "escreve $enviado $lido \" \" $linha \" \" $outra\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("10 OLA MUNDO SEM TLS\n"), std::string::npos) << r.console;
  EXPECT_EQ(tls.Connections(), 1);

  // The peer going away: LE leaves status 1 and an empty variable.
  LocalServer brief([](ServerConnection& c) { c.Send("tchau\r\n"); });
  r = RunScriptText("conecta #3 \"127.0.0.1\" " + P(brief) + "\n" +
                    "le #3 $a\nle #3 $b\ncheca $c\nfecha #3\nescreve $a \"[\" $b \"]\" $c\n");
  EXPECT_NE(r.console.find("tchau[]1\n"), std::string::npos) << r.console;
}

TEST_F(NetCommandsTest, LoudConnectFailuresStopTheRun) {
  std::string port = ClosedPort();
  ScriptResult r = RunScriptText("conecta #1 \"127.0.0.1\" " + port + "\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.console.rfind("Erro de conexao: 127.0.0.1 " + port + "\n", 0), 0u) << r.console;
  r = RunScriptText("conecta #1 \"127.0.0.1\" \"x\"\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.console.rfind("Erro na porta TCP/IP: x\n", 0), 0u) << r.console;
  r = RunScriptText("conecta #1\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.console.rfind("Erro de conexao\n", 0), 0u) << r.console;
}

TEST_F(NetCommandsTest, SslPrefixHoldsUntilAConnectionChannelCloses) {
  LocalServer tls_a(Echo, true), tls_b(Echo, true), plain(Echo);
  ScriptResult r = RunScriptText("conecta ssl #1 \"localhost\" " + P(tls_a) + "\n" +
                                 "conecta #2 \"localhost\" " + P(tls_b) + "\n");  // still TLS
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(RoundTrip(2, "b"), "B");
  EXPECT_EQ(tls_b.ServerNames(), std::vector<std::string>{"localhost"});
  EXPECT_TRUE(in_->tls_request);
  // Another connection in the same channel is no closing: TLS stays asked for.
  RunScriptText("conecta ssl #1 \"localhost\" " + P(tls_a) + "\nconecta #1 \"localhost\" " + P(tls_b) + "\n");
  EXPECT_TRUE(in_->tls_request);
  Ch(1).Close();  // what FECHA does with a connection channel
  EXPECT_FALSE(in_->tls_request);
  r = RunScriptText("conecta #3 \"127.0.0.1\" " + P(plain) + "\n");
  EXPECT_EQ(RoundTrip(3, "c"), "C");  // plain again
}

TEST_F(NetCommandsTest, AtivaSslReconnectsWithTls) {
  LocalServer tls(Echo, true);
  RunScriptText("conecta #4 \"127.0.0.1\" " + P(tls) + "\nativassl #4\n");
  EXPECT_EQ(RoundTrip(4, "seguro"), "SEGURO");
  EXPECT_EQ(tls.Connections(), 2);

  // A failed TLS connection leaves the channel without a socket: nothing
  // to read, nothing sent, no address, and the run goes on.
  LocalServer plain([](ServerConnection& c) { c.Send("no TLS here\r\n"); });
  ScriptResult r = RunScriptText("conecta #4 \"127.0.0.1\" " + P(plain) + "\n" +
                                 "ativassl #4\nobserva #4 $c\nescreve $c\nip local #4 $d\n",
                                 "\r");
  EXPECT_EQ(Ch(4).socket, -1);
  EXPECT_EQ(RoundTrip(4, "y"), "(not sent)");
  std::string line = "x";
  EXPECT_EQ(Ch(4).stream->ReadLine(&line), 1);
  EXPECT_EQ(line, "");
  EXPECT_EQ(r.console.rfind("0\n", 0), 0u) << r.console;
  EXPECT_EQ(r.outcome, 1);
  EXPECT_EQ(r.line, 5);
}

TEST_F(NetCommandsTest, ObservaIpAndTheKeyboard) {
  LocalServer server([](ServerConnection& c) {
    c.Send("pronto\r\n");
    std::string line;
    c.ReadLine(&line);
  });
  ScriptResult r = RunScriptText(
      "conecta #1 \"127.0.0.1\" " + P(server) + "\n"
      "seja $dado \"0\"\n"
      "enquanto $dado = \"0\"\n"
      "observa #1 $dado\n"
      "fim enquanto\n"
      "observa #5 $fechado\n"
      "observa teclado $tecla\n"
      "ip local #1 $eu\n"
      "ip REMOTO #1 $ele\n"
      "escreve $dado $fechado $tecla \" \" $eu \" \" $ele\n",
      "x");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("101 127.0.0.1 127.0.0.1\n"), std::string::npos) << r.console;
  for (const char* bad : {"observa #1 $x sobra\n", "observa #1\n", "observa teclado\n", "ip #1 $x\n", "ip local #7 $x\n"})
    EXPECT_EQ(RunScriptText(bad, "\r").outcome, 1) << bad;
}

TEST_F(NetCommandsTest, ServeTakesOneClient) {
  std::string port = ClosedPort();
  std::string got;
  std::thread client([&] {
    for (int i = 0; i < 300; ++i) {
      int s = SockCreateTcp();
      if (!SockConnect(s, kLoopbackAddress, static_cast<uint16_t>(std::stoi(port)))) {
        SockClose(s);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      SockSend(s, "oi\r\n", 4);
      char buf[64];
      long n;
      while ((n = SockRecv(s, buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
      SockClose(s);
      return;
    }
  });
  ScriptResult r = RunScriptText("serve #2 " + port + "\nip remoto #2 $quem\nescreve $quem\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_NE(r.console.find("127.0.0.1\n"), std::string::npos);
  std::string line;
  EXPECT_EQ(Ch(2).stream->ReadLine(&line), 0);
  EXPECT_EQ(line, "oi");
  EXPECT_EQ(Ch(2).stream->Write("oi!\r\n"), 1);
  Ch(2).Close();
  client.join();
  EXPECT_EQ(got, "oi!\r\n");
  r = RunScriptText("serve #2 \"porta\"\n", "\r");
  EXPECT_EQ(r.console.rfind("Erro na porta TCP/IP: porta\n", 0), 0u) << r.console;
  // A channel written without its '#' is said to be one, not a connection error.
  r = RunScriptText("serve 2\n", "\r");
  EXPECT_EQ(r.console.rfind("Esperava um canal de #0 a #9: 2\n", 0), 0u) << r.console;
}

TEST_F(NetCommandsTest, InternetWords) {
  EXPECT_EQ(RunScriptText("internet inicia\ninternet TERMINA\n").outcome, 0);
  EXPECT_EQ(RunScriptText("internet comeca\n", "\r").outcome, 1);
}

TEST_F(NetCommandsTest, TrazDaRedeResultsAndOperands) {
  test::TalvenSandbox box;  // the file lies beside its private drives
  std::string file = box.tmp() / "pagina.txt";
  LocalServer server(Reply("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nolaaa"));
  LocalServer missing(Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"));
  ScriptResult r = RunScriptText(
      "trazdarede \"" + server.Url("/p") + "\" \"" + file + "\" 0 \"agente\" \"\" $r1\n" +
      "trazdarede \"" + missing.Url("/p") + "\" \"" + file + "\" 1 \"agente\" \"\" $r2\n" + "escreve $r1 $r2\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(r.console.find("Erro http404: Página não encontrada.\n01\n"), 0u) << r.console;
  EXPECT_EQ(test::ReadFileBytes(file), "olaaa");
  // tick must be 0 or 1; the cookie has to be written, even empty.
  std::string head = "trazdarede \"" + server.Url("/") + "\" \"" + file + "\" ";
  EXPECT_EQ(RunScriptText(head + "2 \"a\" \"\" $r\n", "\r").outcome, 1);
  EXPECT_EQ(RunScriptText(head + "0 \"a\" $r\n", "\r").outcome, 1);
  EXPECT_EQ(RunScriptText(head + "0 \"a\" \"\"\n", "\r").outcome, 1);
}

TEST_F(NetCommandsTest, EscTypedDuringAStreamDownload) {
  test::TalvenSandbox box;  // the file lies beside its private drives
  LocalServer radio([](ServerConnection& c) {
    c.ReadHead();
    if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n")) return;
    while (!c.Stopping() && c.Send(std::string(3000, 'm'))) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  });
  ScriptResult r = RunScriptText("trazdarede \"" + radio.Url("/ao-vivo") + "\" \"" + (box.tmp() / "r.mp3") +
                                     "\" 1 \"agente\" \"\" $r\nescreve \"resultado \" $r\n",
                                 "\x1bS");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(r.console, "Deseja parar o download?\nS\nO download foi interrompido.\nresultado 0\n");
}

}  // namespace
}  // namespace kal
